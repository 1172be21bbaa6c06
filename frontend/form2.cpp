#include "form2.h"

#include <QDir>
#include <cerrno>

#include "form1.h"
#include "forms.h"
#include "job_errors.h"
#include "message_boxes.h"
#include "settings_file.h"
#include "texts.h"
#include "widgets.h"

namespace velmora::frontend {

using common::CheckStateOf;
using common::CheckValue;
using common::PlaceTwips;

namespace {

// A settings file that cannot be opened is reported once per run, not at every opening.
bool& SettingsFailureReported() {
    static bool reported = false;
    return reported;
}

void SetCheck(QCheckBox* box, std::int32_t value) {
    // Grayed (2) comes only from the file; the user's clicks switch between clear and checked.
    box->setTristate(value == 2);
    box->setCheckState(CheckStateOf(value));
}

}  // namespace

Form2::Form2() {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QString::fromUtf8(texts::kSettingsTitle));
    setFont(QFont(QStringLiteral("宋体"), 9));
    setFixedSize(common::Twips(6570), common::Twips(3255));

    auto check = [this](const char* name, const char* caption) {
        auto* c = new WrapCheckBox(QString::fromUtf8(caption), this);
        c->setObjectName(QLatin1String(name));
        connect(c, &QCheckBox::clicked, c, [c] {
            if (c->checkState() != Qt::PartiallyChecked) c->setTristate(false);
        });
        return c;
    };
    auto text = [this](const char* name) { return common::Make<QLineEdit>(this, name); };
    auto button = [this](const char* name) { return common::Make<QPushButton>(this, name); };
    Check1 = check("Check1", texts::kOfferPasswordFile);
    Text1 = text("Text1");
    Command1 = button("Command1");
    Check2 = check("Check2", texts::kOfferLockFile);
    Text2 = text("Text2");
    Command2 = button("Command2");
    Check3 = check("Check3", texts::kPlainPassword);
    Check4 = check("Check4", texts::kTypeTwice);
    Command3 = button("Command3");
    Drive1 = new common::DriveListBox(this);
    Dir1 = new common::DirListBox(this);
    File1 = new common::FileListBox(this);

    PlaceTwips(Check1, 360, 120, 975, 375);
    PlaceTwips(Text1, 1440, 120, 3615, 375);
    PlaceTwips(Command1, 5280, 120, 855, 375);
    PlaceTwips(Check2, 360, 600, 975, 375);
    PlaceTwips(Text2, 1440, 600, 3615, 375);
    PlaceTwips(Command2, 5280, 600, 855, 375);
    PlaceTwips(Check3, 360, 1200, 1095, 375);
    PlaceTwips(Check4, 1560, 1200, 1215, 495);
    PlaceTwips(Command3, 4920, 1200, 1215, 375);
    PlaceTwips(Drive1, 360, 1800, 975, 300);
    PlaceTwips(Dir1, 1440, 1800, 2175, 1350);
    PlaceTwips(File1, 3720, 1800, 2535, 1350);

    connect(Command1, &QPushButton::clicked, this, &Form2::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form2::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form2::Command3_Click);
    connect(Drive1, &common::DriveListBox::Change, this, &Form2::Drive1_Change);
    connect(Dir1, &common::DirListBox::Change, this, &Form2::Dir1_Change);
    connect(File1, &common::FileListBox::Click, this, &Form2::File1_Click);
}

void Form2::Form_Load() {
    if (Form1Form().Loaded()) setWindowIcon(Form1Form().IfLoaded()->windowIcon());
    Command1->setText(QString::fromUtf8(texts::kTake));
    Command2->setText(QString::fromUtf8(texts::kTake));
    Command3->setText(QString::fromUtf8(texts::kSaveSettings));
    const QString cwd = QDir::currentPath();
    Fmbf = SettingsFile::InFolder(cwd.toStdString());
    try {
        QSignalBlocker block(Dir1);
        Dir1->SetPath(cwd);
        File1->SetPath(common::NormaliseFolder(cwd));
    } catch (const std::exception&) {
        // An unreadable current folder leaves the lists empty; the dialog works without them.
    }
    Getfm();
}

void Form2::Form_Unload() {
    Shefma();
}

void Form2::FormbJiekou() {
    Shefma();
}

Settings Form2::Current() const {
    Settings s;
    s.Check1 = CheckValue(Check1->checkState());
    s.Check2 = CheckValue(Check2->checkState());
    s.Check3 = CheckValue(Check3->checkState());
    s.Check4 = CheckValue(Check4->checkState());
    s.Text1 = Text1->text().toStdU16String();
    s.Text2 = Text2->text().toStdU16String();
    return s;
}

void Form2::Show(const Settings& s) {
    SetCheck(Check1, s.Check1);
    SetCheck(Check2, s.Check2);
    SetCheck(Check3, s.Check3);
    SetCheck(Check4, s.Check4);
    Text1->setText(QString::fromStdU16String(s.Text1));
    Text2->setText(QString::fromStdU16String(s.Text2));
}

void Form2::Shefma() {
    Form1* main = Form1Form().IfLoaded();
    if (main == nullptr) return;
    const Settings s = Current();
    // A grayed box (2) offers the key source but neither unmasks nor asks twice.
    main->Command7->setVisible(s.Check1 != 0);
    main->Command8->setVisible(s.Check2 != 0);
    SetMask(main->Text2, s.Check3 != 1);
    SetMask(main->Text3, s.Check3 != 1);
    main->Fmaqra = s.Check4 == 1 ? 1 : 0;
    main->Fmaa = Text1->text().toStdString();
    main->Fmab = Text2->text().toStdString();
    main->Fydb(0);
}

void Form2::Getfm() {
    try {
        Show(SettingsFile(Fmbf).Read());
    } catch (const std::exception&) {
        Show(Settings{});
        if (!SettingsFailureReported()) {
            SettingsFailureReported() = true;
            common::Messages().Notice(
                QString::fromStdString(texts::SettingsUnavailable(Fmbf, WhyUnopenable(Fmbf))));
        }
    }
}

void Form2::Setfm() {
    try {
        SettingsFile(Fmbf).Write(Current());
    } catch (const std::exception&) {
        common::Messages().Notice(
            QString::fromStdString(texts::SettingsUnavailable(Fmbf, WhyUnopenable(Fmbf))));
    }
}

void Form2::Command1_Click() {
    Text1->setText(QString::fromStdString(Fmbe));
}

void Form2::Command2_Click() {
    Text2->setText(QString::fromStdString(Fmbe));
}

void Form2::Command3_Click() {
    Setfm();
}

void Form2::Drive1_Change() {
    Fmbe = Drive1->Drive().toStdString();
    const QString root = common::NormaliseFolder(Drive1->Drive());
    try {
        Dir1->SetPath(common::FolderToOpenOnDrive(root));
    } catch (const std::exception&) {
        return;
    }
    Fmbe = root.toStdString();
}

void Form2::Dir1_Change() {
    Fmbe = Dir1->Path().toStdString();
    try {
        File1->SetPath(Dir1->Path());
    } catch (const std::exception&) {
    }
    Fmbe = common::NormaliseFolder(QString::fromStdString(Fmbe)).toStdString();
}

void Form2::File1_Click() {
    Fmbe = common::NormaliseFolder(File1->Path()).toStdString() + File1->FileName().toStdString();
}

}  // namespace velmora::frontend
