#include "form1.h"

#include <QApplication>
#include <QDir>

#include "error.h"
#include "form2.h"
#include "forms.h"
#include "job_errors.h"
#include "message_boxes.h"
#include "program_parts.h"
#include "texts.h"
#include "timer.h"

namespace velmora::frontend {

using common::PlaceTwips;

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

std::string S(const QString& text) {
    return text.toStdString();
}

// The lists throw for a folder that cannot be read (it vanished, or no permission); they then
// stay as they were, which is all a list event can do about it.
template <class F>
void IfListable(F&& step) {
    try {
        step();
    } catch (const std::exception&) {
    }
}

}  // namespace

std::unique_ptr<common::Fso> CreateFso() {
    return std::make_unique<common::Fso>();
}

Form1::Form1() {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QString::fromUtf8(texts::kProgramTitle));
    setWindowIcon(QApplication::windowIcon());
    setFont(QFont(QStringLiteral("宋体"), 9));
    setFixedSize(common::Twips(6225), common::Twips(5415));

    auto button = [this](const char* name) { return common::Make<QPushButton>(this, name); };
    auto label = [this](const char* name) {
        auto* l = common::Make<QLabel>(this, name);
        l->setWordWrap(true);
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return l;
    };
    auto text = [this](const char* name) { return common::Make<QLineEdit>(this, name); };
    auto menu = [this](const char* name, const char* caption) {
        auto* l = new ClickLabel(QString::fromUtf8(caption), this);
        l->setObjectName(QLatin1String(name));
        l->setFont(QFont(QStringLiteral("宋体"), 12));
        l->setCursor(Qt::PointingHandCursor);
        return l;
    };

    Command1 = button("Command1");
    Command7 = button("Command7");
    Command8 = button("Command8");
    Label6 = menu("Label6", texts::kSettings);
    Label5 = menu("Label5", texts::kHelp);
    Command2 = button("Command2");
    Label1 = label("Label1");
    Command3 = button("Command3");
    Label2 = label("Label2");
    Command6 = button("Command6");
    Label4 = label("Label4");
    Label3 = label("Label3");
    Text2 = text("Text2");
    Text3 = text("Text3");
    Command4 = button("Command4");
    Command5 = button("Command5");
    Drive1 = new common::DriveListBox(this);
    Dir1 = new common::DirListBox(this);
    File1 = new common::FileListBox(this);
    Text4 = text("Text4");
    Text1 = text("Text1");

    PlaceTwips(Command1, 120, 0, 1215, 375);
    PlaceTwips(Command7, 1440, 0, 1095, 375);
    PlaceTwips(Command8, 2520, 0, 1095, 375);
    PlaceTwips(Label6, 4800, 0, 615, 375);
    PlaceTwips(Label5, 5520, 0, 615, 375);
    PlaceTwips(Command2, 120, 480, 1215, 375);
    PlaceTwips(Label1, 1440, 480, 4695, 495);
    PlaceTwips(Command3, 120, 960, 1215, 375);
    PlaceTwips(Label2, 1440, 960, 4695, 495);
    PlaceTwips(Command6, 120, 1440, 1215, 375);
    PlaceTwips(Label4, 1440, 1440, 4695, 495);
    PlaceTwips(Label3, 480, 2160, 1095, 255);
    PlaceTwips(Text2, 1560, 2040, 4335, 375);
    PlaceTwips(Text3, 1560, 2040, 4335, 375);
    PlaceTwips(Command4, 2160, 2520, 1455, 375);
    PlaceTwips(Command5, 3720, 2520, 1575, 375);
    PlaceTwips(Drive1, 120, 3000, 975, 300);
    PlaceTwips(Dir1, 1200, 3000, 2295, 1770);
    PlaceTwips(File1, 3600, 3000, 2535, 1710);
    PlaceTwips(Text4, 120, 3480, 975, 375);
    PlaceTwips(Text1, 1200, 4920, 4935, 375);

    // Design-time state: the key-file controls hidden, the password masked with "*".
    Command6->hide();
    Label4->hide();
    SetMask(Text2, true);
    SetBackground(Label4, QColor(255, 0, 0));

    auto click = [this](QPushButton* b, void (Form1::*handler)()) {
        connect(b, &QPushButton::clicked, this, [this, handler] { (this->*handler)(); });
    };
    click(Command1, &Form1::Command1_Click);
    click(Command2, &Form1::Command2_Click);
    click(Command3, &Form1::Command3_Click);
    click(Command4, &Form1::Command4_Click);
    click(Command5, &Form1::Command5_Click);
    click(Command6, &Form1::Command6_Click);
    click(Command7, &Form1::Command7_Click);
    click(Command8, &Form1::Command8_Click);
    connect(Label5, &ClickLabel::Click, this, &Form1::Label5_Click);
    connect(Label6, &ClickLabel::Click, this, &Form1::Label6_Click);
    connect(Drive1, &common::DriveListBox::Change, this, &Form1::Drive1_Change);
    connect(Dir1, &common::DirListBox::Change, this, &Form1::Dir1_Change);
    connect(File1, &common::FileListBox::Click, this, &Form1::File1_Click);
    connect(Text2, &QLineEdit::textChanged, this, &Form1::Text2_Change);
}

Form1::~Form1() = default;

void Form1::Form_Load() {
    Command1->setText(QString::fromUtf8(texts::kOneFileMode));
    Command2->setText(QString::fromUtf8(texts::kSourceFile));
    Command3->setText(QString::fromUtf8(texts::kTargetFolder));
    Label3->setText(QString::fromUtf8(texts::kPasswordPrompt));
    Command4->setText(QString::fromUtf8(texts::kEncrypt));
    Command5->setText(QString::fromUtf8(texts::kDecrypt));
    Command6->setText(QString::fromUtf8(texts::kPasswordFile));
    Command7->setText(QString::fromUtf8(texts::kUsePasswordFile));
    Command8->setText(QString::fromUtf8(texts::kUseLockFile));
    Command6Caption = texts::kPasswordFile;

    const QString cwd = QDir::currentPath();
    B = S(common::NormaliseFolder(cwd));
    {
        // The lists start on the current folder without announcing it: Text1 stays empty.
        QSignalBlocker block(Dir1);
        IfListable([&] { Dir1->SetPath(cwd); });
    }
    IfListable([&] { File1->SetPath(common::NormaliseFolder(cwd)); });

    SetBackground(Label1, QColor(250, 220, 10));
    SetBackground(Label2, QColor(4, 140, 250));
    SetMask(Text3, Masked(Text2));
    StartUpLayout(*this);
    ApplyLayout();
    Timb[1] = common::Timer();

    progress_ = CreateProgressObject();  // throws ProgressServerError: the program cannot start
    Aclss = progress_.get();
    fso_ = CreateFso();
    engine_ = std::make_unique<engine::Jmi>();
    try {
        engine_->EngineStartup();
    } catch (const common::Error&) {
        const std::string path = engine_->ChaosStatePath().string();
        throw JobError(texts::ChaosStateUnopenable(path, WhyUnopenable(path)));
    }
    Form2Form().Get()->FormbJiekou();
}

void Form1::Form_Unload() {
    if (engine_) {
        try {
            engine_->SaveChaosState();
        } catch (const std::exception&) {
            // Closing is never refused; the next start reads the state saved after the last
            // encryption.
        }
    }
    Form2Form().Unload();
    UnloadHelpWindow();
    Aclss = nullptr;
    progress_.reset();
}

void Form1::ApplyLayout() {
    const PasswordBlock& l = Layout;
    auto top = [](QWidget* w, std::int32_t twips) { w->move(w->x(), common::Twips(twips)); };
    top(Label3, l.Label3Top);
    top(Text2, l.Text2Top);
    top(Text3, l.Text3Top);
    top(Command4, l.Command4Top);
    top(Command5, l.Command5Top);
    Label3->setVisible(l.Label3Visible);
    Text2->setVisible(l.Text2Visible);
    Text3->setVisible(l.Text3Visible);
    Command6->setVisible(l.Command6Visible);
    Label4->setVisible(l.Label4Visible);
}

void Form1::T3v(std::int32_t p) {
    frontend::T3v(*this, p);
    ApplyLayout();
}

void Form1::Fyd(std::int32_t p) {
    frontend::Fyd(*this, p);
    ApplyLayout();
}

void Form1::Fydb(std::int32_t p) {
    frontend::Fydb(*this, p);
    ApplyLayout();
}

void Form1::FmimaDuchu(const std::string& path) {
    ReadKeyFile(path, Amwb);
}

void Form1::Fyc() {
    hide();
    FycVisible = 1;
    Aclss->CFmshow();
    Form2Form().Unload();
    UnloadHelpWindow();
}

void Form1::Fxs() {
    show();
    FycVisible = 0;
    if (Aclss != nullptr) Aclss->CFmunload();
}

void Form1::ShowTarget(const std::string& path) {
    Label2->setText(Q(path));
}

void Form1::ShowElapsed(float seconds) {
    Text4->setText(Q(ElapsedText(seconds)));
    // The box is narrow: show the leading digits, which carry the seconds.
    Text4->setCursorPosition(0);
}

void Form1::ClearPasswords() {
    Text2->clear();
    Text3->clear();
}

void Form1::Notice(const std::string& text) {
    common::Messages().Notice(Q(text));
}

void Form1::Command1_Click() {
    SwitchMode(*this);
    if (A == 0) {
        Command1->setText(QString::fromUtf8(texts::kOneFileMode));
        Command2->setText(QString::fromUtf8(texts::kSourceFile));
        Label1->clear();
    } else {
        Command1->setText(QString::fromUtf8(texts::kFolderMode));
        Command2->setText(QString::fromUtf8(texts::kSourceFolder));
        Label1->setText(Q(Yw));
    }
    Command3->setText(QString::fromUtf8(texts::kTargetFolder));
}

void Form1::Command2_Click() {
    ChooseSource(*this);
    Label1->setText(Q(Yw));
    Timb[2] = common::Timer();
}

void Form1::Command3_Click() {
    ChooseTarget(*this);
    Label2->setText(Q(B));
    Timb[3] = common::Timer();
}

void Form1::RunCommand(std::int32_t direction) {
    JobInput input;
    input.password = Text2->text().toStdU16String();
    input.confirmation = Text3->text().toStdU16String();
    input.confirmationShown = Text3->isVisibleTo(this);
    input.Timb = Timb;
    JobServices services{*engine_, *fso_};
    RunJob(direction, *this, Amwb, input, services, *this);
}

void Form1::Command4_Click() {
    RunCommand(0);
}

void Form1::Command5_Click() {
    RunCommand(1);
}

void Form1::Command6_Click() {
    PressKeyFile(*this);
    Label4->setText(Q(Amw));
}

void Form1::Command7_Click() {
    PressUsePasswordFile(*this);
    Command6->setText(Q(Command6Caption));
    Label4->setText(Q(Amw));
    ApplyLayout();
}

void Form1::Command8_Click() {
    PressUseLockFile(*this);
    Command6->setText(Q(Command6Caption));
    Label4->setText(Q(Amw));
    ApplyLayout();
}

void Form1::Drive1_Change() {
    B = S(Drive1->Drive());
    const QString root = common::NormaliseFolder(Drive1->Drive());
    try {
        Dir1->SetPath(common::FolderToOpenOnDrive(root));
    } catch (const std::exception&) {
        // A drive that cannot be read: the folder list stays, Text1 shows the drive text.
        Text1->setText(Q(B));
        return;
    }
    B = S(root);
    Text1->setText(Q(B));
}

void Form1::Dir1_Change() {
    B = S(Dir1->Path());
    IfListable([&] { File1->SetPath(Dir1->Path()); });
    B = S(common::NormaliseFolder(Q(B)));
    Text1->setText(Q(B));
}

void Form1::File1_Click() {
    Bb = S(File1->FileName());
    Ba = S(common::NormaliseFolder(File1->Path())) + Bb;
    Text1->setText(Q(Ba));
}

void Form1::Text2_Change() {
    for (int i = 1; i <= 5; ++i)
        Timb[static_cast<std::size_t>(11 - i)] = Timb[static_cast<std::size_t>(10 - i)];
    Timb[5] = common::Timer();
}

void Form1::Label5_Click() {
    ShowHelpWindow();
}

void Form1::Label6_Click() {
    Form2Form().Get()->show();
}

}  // namespace velmora::frontend
