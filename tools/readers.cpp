#include "readers.h"

#include "binary_file.h"
#include "error.h"
#include "fsmdcl.h"
#include "key_file_text.h"
#include "message_boxes.h"
#include "messages.h"
#include "numbers.h"
#include "tool_numbers.h"
#include "utf16le.h"

namespace tools {

using velmora::common::Messages;
using velmora::common::PlaceTwips;
using velmora::common::WriteNumberInBox;

namespace {

// The old file goes before the new one is written, so the result holds exactly the new bytes.
// When it cannot go, nothing is written and the window stays for another try.
void RemoveOldFile(const std::string& path) {
    try {
        velmora::common::RemoveFile(path);
    } catch (const velmora::common::FileError& failure) {
        throw msg::ToolError(msg::CannotRemove(QString::fromStdString(path), failure.problem()));
    }
}

}  // namespace

DuMiMaWenJian::DuMiMaWenJian() : ToolWindow(Kind::kReader, QStringLiteral("以字节读出密码文件")) {
    Label1 = Make<QLabel>(this, "Label1", QStringLiteral("文件长度"));
    Text1 = Make<QLineEdit>(this, "Text1", QStringLiteral("0"));
    Label2 = Make<QLabel>(this, "Label2", QStringLiteral("起始位置"));
    Text2 = Make<QLineEdit>(this, "Text2", QStringLiteral("1"));
    Label3 = Make<QLabel>(this, "Label3", QStringLiteral("读出长度"));
    Text3 = Make<QLineEdit>(this, "Text3", QStringLiteral("0"));
    Text4 = Make<QPlainTextEdit>(this, "Text4");
    Text4->setTabChangesFocus(true);
    Command1 = Make<QPushButton>(this, "Command1", QStringLiteral("开始读出"));
    Command2 = Make<QPushButton>(this, "Command2", QStringLiteral("规范显示"));
    PlaceTwips(Label1, 3900, 120, 1500, 400);
    PlaceTwips(Text1, 5500, 120, 1800, 450);
    PlaceTwips(Label2, 3900, 720, 1500, 400);
    PlaceTwips(Text2, 5500, 720, 1800, 450);
    PlaceTwips(Label3, 3900, 1320, 1500, 400);
    PlaceTwips(Text3, 5500, 1320, 1800, 450);
    PlaceTwips(Command1, 7500, 120, 1800, 500);
    PlaceTwips(Command2, 7500, 720, 1800, 500);
    PlaceTwips(Text4, 3900, 1980, 5400, 4200);
    resize(velmora::common::Twips(9500), velmora::common::Twips(6400));
    ConnectClick(Command1, this, [this] { Command1_Click(); });
    ConnectClick(Command2, this, [this] { Command2_Click(); });
}

void DuMiMaWenJian::File1_Click() {
    chosen_file_ = ClickedFile();
    int64_t length = velmora::common::FileLength(chosen_file_.toStdString());
    Text1->setText(QString::fromStdString(WriteNumberInBox(length)));
    Text3->setText(QString::fromStdString(WriteNumberInBox(std::min<int64_t>(length, kReadLimit))));
}

void DuMiMaWenJian::Command1_Click() {
    int32_t start = ReadToolNumber(Text2->text().toStdString());
    int32_t count = ReadToolNumber(Text3->text().toStdString());
    if (count > kReadLimit) {
        Messages().Notice(msg::kByteReadLimit);
        return;
    }
    start = std::max(start, 1);
    count = std::max(count, 1);
    // Read-only: a key file on read-only media is read, and nothing is ever created.
    last_read_ = velmora::common::ReadBlock(RequireChosenFile(chosen_file_), start, count,
                                            velmora::common::Access::kReadOnly);
    Text4->setPlainText(Crlf(ReadOutLines(last_read_, start)));
}

void DuMiMaWenJian::Command2_Click() {
    Text4->setPlainText(Crlf(NormalisedDisplay(last_read_)));
}

DuUnicode::DuUnicode() : ToolWindow(Kind::kReader, QStringLiteral("读Unicode文件中的字符串")) {
    Label1 = Make<QLabel>(this, "Label1", QStringLiteral("文件长度"));
    Text2 = Make<QLineEdit>(this, "Text2");
    Label2 = Make<QLabel>(this, "Label2", QStringLiteral("起始位置"));
    Text3 = Make<QLineEdit>(this, "Text3", QStringLiteral("1"));
    Label3 = Make<QLabel>(this, "Label3", QStringLiteral("读出长度"));
    Text4 = Make<QLineEdit>(this, "Text4", QStringLiteral("1"));
    Text1Out = Make<QPlainTextEdit>(this, "Text1");
    Text1Out->setLineWrapMode(QPlainTextEdit::NoWrap);
    Text1Out->setTabChangesFocus(true);
    Command1 = Make<QPushButton>(this, "Command1", QStringLiteral("开始读出"));
    PlaceTwips(Label1, 3900, 120, 1500, 400);
    PlaceTwips(Text2, 5500, 120, 1800, 450);
    PlaceTwips(Label2, 3900, 720, 1500, 400);
    PlaceTwips(Text3, 5500, 720, 1800, 450);
    PlaceTwips(Label3, 3900, 1320, 1500, 400);
    PlaceTwips(Text4, 5500, 1320, 1800, 450);
    PlaceTwips(Command1, 7500, 120, 1800, 500);
    PlaceTwips(Text1Out, 3900, 1980, 5400, 4200);
    resize(velmora::common::Twips(9500), velmora::common::Twips(6400));
    ConnectClick(Command1, this, [this] { Command1_Click(); });
}

void DuUnicode::File1_Click() {
    current_path_ = ClickedFile();  // this window keeps its chosen file in the current path
    int64_t length = velmora::common::FileLength(current_path_.toStdString());
    Text2->setText(QString::fromStdString(WriteNumberInBox(length)));
    Text4->setText(QString::fromStdString(WriteNumberInBox(std::min<int64_t>(length, kReadLimit))));
}

void DuUnicode::Command1_Click() {
    int32_t start = ReadToolNumber(Text3->text().toStdString());
    int32_t count = ReadToolNumber(Text4->text().toStdString());
    if (count > kReadLimit) {
        Messages().Notice(msg::kTextReadLimit);
        return;
    }
    start = std::max(start, 1);
    count = std::max(count, 0);  // nothing to read below 1
    auto bytes = velmora::common::ReadBlock(RequireChosenFile(current_path_), start, count,
                                            velmora::common::Access::kReadOnly);
    Text1Out->setPlainText(QString::fromStdU16String(CodeUnitsFromBytes(bytes)));
}

XieUnicode::XieUnicode() : ToolWindow(Kind::kWriter, QStringLiteral("将字符串变为Unicode码文件")) {
    Text2 = Make<QLineEdit>(this, "Text2");
    Label2 = Make<QLabel>(this, "Label2");
    Label2->setWordWrap(true);
    Label1 = Make<QLabel>(this, "Label1", QStringLiteral("文件名"));
    Text3 = Make<QLineEdit>(this, "Text3", QStringLiteral("Unicode.txt"));
    Command2 = Make<QPushButton>(this, "Command2", QStringLiteral("开始转换"));
    PlaceTwips(Text2, 3900, 720, 5400, 450);
    PlaceTwips(Label2, 3900, 1320, 5400, 2000);
    PlaceTwips(Label1, 3900, 3500, 1500, 400);
    PlaceTwips(Text3, 5500, 3500, 3800, 450);
    PlaceTwips(Command2, 3900, 4300, 1800, 500);
    resize(velmora::common::Twips(9500), velmora::common::Twips(6400));
    ConnectClick(Command2, this, [this] { Command2_Click(); });
}

void XieUnicode::Form_Load() {
    ToolWindow::Form_Load();
    Label2->setText(
        QStringLiteral("在此输入所要转换的字符串,选择所要存放的文件夹,输入文件名或使用默认文件名,"
                       "点开始转换按钮即可."
                       "在目标文件夹下生成的文件,内容是输入字符串的Unicode码."
                       "用它作为密码文件可以与密码框的输入互换应用."));
}

void XieUnicode::Command2_Click() {
    QString name = Text3->text();
    if (name.isEmpty()) name = QStringLiteral("Unicode.txt");
    if (!IsPlainFileName(name)) {
        Messages().Notice(msg::BadFileName(name));
        return;
    }
    std::string path = (target_folder_ + name).toStdString();
    bool write = true;
    if (WenJianCunZai(path) == 1) {
        write = Messages().Question(msg::kSameName);
        if (write) RemoveOldFile(path);
    }
    if (write) {
        std::u16string text = Text2->text().toStdU16String();
        velmora::common::WriteBlock(path, 1, velmora::common::Utf16LeBytes(text));
    }
    hide();
    ShowLauncher();
}

}  // namespace tools
