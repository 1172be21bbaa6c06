#include "password_file_writer.h"

#include "binary_file.h"
#include "forms.h"
#include "fsmdcl.h"
#include "key_file_text.h"
#include "message_boxes.h"
#include "messages.h"
#include "tool_numbers.h"

namespace tools {

using velmora::common::Messages;
using velmora::common::PlaceTwips;

XieMiMaWenJian::XieMiMaWenJian() {
    setWindowTitle(QStringLiteral("写密码文件"));
    setFont(QFont(QStringLiteral("宋体"), 12));
    Text1 = Make<QPlainTextEdit>(this, "Text1");
    Text2 = Make<QPlainTextEdit>(this, "Text2");
    Text2->setReadOnly(true);
    // Tab moves on, as in every other box, so the keyboard can leave the editor.
    Text1->setTabChangesFocus(true);
    Text2->setTabChangesFocus(true);
    Label1 = Make<QLabel>(this, "Label1");
    Label1->setWordWrap(true);
    Command2 = Make<QPushButton>(this, "Command2", QStringLiteral("检验"));
    Command1 = Make<QPushButton>(this, "Command1", QStringLiteral("写入"));
    PlaceTwips(Text1, 120, 120, 5400, 5000);
    PlaceTwips(Text2, 5640, 120, 3000, 5000);
    PlaceTwips(Label1, 120, 5240, 8520, 1500);
    PlaceTwips(Command2, 2000, 6860, 1800, 500);
    PlaceTwips(Command1, 5000, 6860, 1800, 500);
    resize(velmora::common::Twips(8800), velmora::common::Twips(7600));
    ConnectClick(Command1, this, [this] { Command1_Click(); });
    ConnectClick(Command2, this, [this] { Command2_Click(); });
}

void XieMiMaWenJian::Form_Load() {
    setWindowIcon(LauncherIcon());
    Label1->setText(
        QStringLiteral("在此编辑你的密码文件,输入的数据之间用逗号隔开,可以回车,但不能有字母,"
                       "最后一个数据之后不再用逗号."
                       "输入完成可以点检验按钮,在右边的文本框内观察输入的每一个字节是否都正确."
                       "最后点写入按钮将数据写入文件."));
}

void XieMiMaWenJian::Form_Unload() {
    XieMiMaWJbForm().Unload();
    ShowLauncher();
}

void XieMiMaWenJian::Command2_Click() {
    Text2->setPlainText(Crlf(XMzs(BianJi(Text1->toPlainText().toStdString()))));
}

void XieMiMaWenJian::Command1_Click() {
    auto bytes = BianJi(Text1->toPlainText().toStdString());  // a bad value stops before any change
    auto* picker = XieMiMaWJbForm().Get();
    picker->show();
    picker->XMWJjiekou(bytes);
    hide();
}

XieMiMaWJb::XieMiMaWJb() : ToolWindow(Kind::kWriter, QStringLiteral("选择文件")) {
    Label1 = Make<QLabel>(this, "Label1", QStringLiteral("文件名"));
    Text2 = Make<QLineEdit>(this, "Text2", QStringLiteral("密码文件.lib"));
    Label2 = Make<QLabel>(this, "Label2", QStringLiteral("写入的起始位置"));
    Text3 = Make<QLineEdit>(this, "Text3", QStringLiteral("1"));
    Command1 = Make<QPushButton>(this, "Command1", QStringLiteral("确定"));
    Command2 = Make<QPushButton>(this, "Command2", QStringLiteral("取消"));
    PlaceTwips(Label1, 3900, 900, 2400, 400);
    PlaceTwips(Text2, 3900, 1380, 5400, 450);
    PlaceTwips(Label2, 3900, 2100, 2400, 400);
    PlaceTwips(Text3, 3900, 2580, 2400, 450);
    PlaceTwips(Command1, 3900, 5400, 1800, 500);
    PlaceTwips(Command2, 6300, 5400, 1800, 500);
    resize(velmora::common::Twips(9500), velmora::common::Twips(6400));
    ConnectClick(Command1, this, [this] { Command1_Click(); });
    ConnectClick(Command2, this, [this] { Command2_Click(); });
}

void XieMiMaWJb::File1_Click() {
    Text2->setText(File1->FileName());
}

void XieMiMaWJb::Command1_Click() {
    int32_t start = ReadToolNumber(Text3->text().toStdString());
    QString name = Text2->text();
    if (name.isEmpty()) {
        Messages().Notice(msg::kNoName);
        return;
    }
    // A name with a separator would land outside the chosen folder.
    if (!IsPlainFileName(name)) {
        Messages().Notice(msg::BadFileName(name));
        return;
    }
    if (start < 1) {
        Messages().Notice(msg::StartBelowOne(Text3->text()));
        return;
    }
    std::string path = (target_folder_ + name).toStdString();
    bool write = true;
    if (WenJianCunZai(path) == 1) {
        write = Messages().Question(msg::kSameName);
    }
    if (write) velmora::common::WriteBlock(path, start, bytes_);
    ShowLauncher();
    hide();
}

void XieMiMaWJb::Command2_Click() {
    XieMiMaWenJianForm().Get()->show();
    hide();
}

}  // namespace tools
