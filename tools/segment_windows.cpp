#include "segment_windows.h"

#include <QDir>
#include <cmath>

#include "binary_file.h"
#include "error.h"
#include "file_segments.h"
#include "fso.h"
#include "message_boxes.h"
#include "numbers.h"
#include "tong_yong_sui_ji.h"

namespace tools {

using velmora::common::Messages;
using velmora::common::PlaceTwips;

namespace {

QString Number(int64_t value) {
    return QString::fromStdString(velmora::common::WriteNumberInText(value));
}

// number writing for a value that may carry a fraction
QString Number(double value) {
    QString digits = QString::number(value, 'g', 15);
    return value < 0 ? digits : QStringLiteral(" ") + digits;
}

QLineEdit* PathBoxFor(QWidget* parent) {
    auto* box = new QLineEdit(parent);
    box->setObjectName("Text1");
    box->setReadOnly(true);
    PlaceTwips(box, 3900, 120, 5400, 450);
    return box;
}

}  // namespace

QString AppendLabel(int64_t file_length) {
    return QStringLiteral("文件长度为") + Number(file_length) + QStringLiteral("字节,你将从") +
           Number(file_length + 1) + QStringLiteral("开始,追加的随机数据段长度为(字节):");
}

QString RemainingLine(int64_t file_length, double cut) {
    return QStringLiteral("文件剩余的长度是") + Number(static_cast<double>(file_length) - cut) +
           QStringLiteral("字节");
}

WenJianTianJiaSuiJiDuan::WenJianTianJiaSuiJiDuan()
    : ToolWindow(Kind::kReader, QStringLiteral("给文件尾部增加一段随机数据")) {
    PathBox = PathBoxFor(this);
    Label1 = new QLabel(this);
    Label1->setObjectName("Label1");
    Label1->setWordWrap(true);
    Text2 = new QLineEdit(QStringLiteral("0"), this);
    Text2->setObjectName("Text2");
    Command1 = new QPushButton(QStringLiteral("开始"), this);
    Command1->setObjectName("Command1");
    PlaceTwips(Label1, 3900, 900, 5400, 1400);
    PlaceTwips(Text2, 3900, 2400, 2400, 450);
    PlaceTwips(Command1, 3900, 3100, 1800, 500);
    resize(velmora::common::Twips(9500), velmora::common::Twips(6400));
    ConnectClick(Command1, this, [this] { Command1_Click(); });
}

void WenJianTianJiaSuiJiDuan::Form_Load() {
    ToolWindow::Form_Load();
    PathBox->setText(current_path_);
    Label1->clear();
    TongYongSuiJi().SuiJiChuShi();
}

void WenJianTianJiaSuiJiDuan::File1_Click() {
    chosen_file_ = ClickedFile();
    PathBox->setText(chosen_file_);
    int64_t length = velmora::common::FileLength(chosen_file_.toStdString());
    if (length > INT32_MAX) throw velmora::common::Error("The file is 2 GiB or longer.");
    file_length_ = static_cast<int32_t>(length);
    Label1->setText(AppendLabel(file_length_));
}

void WenJianTianJiaSuiJiDuan::WenJianTianJiaSuiJi(const QString& path, int32_t& start,
                                                  int32_t& end) {
    tools::WenJianTianJiaSuiJi(path.toStdString(), start, end);
}

void WenJianTianJiaSuiJiDuan::Command1_Click() {
    double x = velmora::common::ReadDecimal(Text2->text().toStdString());
    int32_t end = velmora::common::RoundToInt32(x + file_length_);
    int32_t start = file_length_ + 1;
    if (end >= start && !velmora::common::Fso().fileexists(chosen_file_.toStdString())) {
        throw velmora::common::Error("Please click a file first.");
    }
    WenJianTianJiaSuiJi(chosen_file_, start, end);
    Messages().Notice(QStringLiteral("操作完成。"));
}

WenJianQuWei::WenJianQuWei() : ToolWindow(Kind::kReader, QStringLiteral("Form1")) {
    PathBox = PathBoxFor(this);
    Label1 = new QLabel(this);
    Label1->setObjectName("Label1");
    Label1->setWordWrap(true);
    Text2 = new QLineEdit(QStringLiteral("0"), this);
    Text2->setObjectName("Text2");
    Label2 = new QLabel(this);
    Label2->setObjectName("Label2");
    Command1 = new QPushButton(QStringLiteral("开始"), this);
    Command1->setObjectName("Command1");
    PlaceTwips(Label1, 3900, 900, 5400, 1000);
    PlaceTwips(Text2, 3900, 2000, 2400, 450);
    PlaceTwips(Label2, 3900, 2600, 5400, 450);
    PlaceTwips(Command1, 3900, 3300, 1800, 500);
    resize(velmora::common::Twips(9500), velmora::common::Twips(6400));
    connect(Text2, &QLineEdit::textChanged, this, [this] { Guarded([this] { Text2_Change(); }); });
    ConnectClick(Command1, this, [this] { Command1_Click(); });
}

void WenJianQuWei::Form_Load() {
    ToolWindow::Form_Load();
    PathBox->setText(current_path_);
    Label1->clear();
    Label2->clear();
}

void WenJianQuWei::File1_Click() {
    chosen_file_ = ClickedFile();
    PathBox->setText(chosen_file_);
    int64_t length = velmora::common::FileLength(chosen_file_.toStdString());
    if (length > INT32_MAX) throw velmora::common::Error("The file is 2 GiB or longer.");
    file_length_ = static_cast<int32_t>(length);
    Label1->setText(QStringLiteral("文件长度为") + Number(int64_t{file_length_}) +
                    QStringLiteral("字节,你将从尾部截去的长度是"));
    ShowRemaining();
}

void WenJianQuWei::Text2_Change() {
    if (file_length_ < 1) return;
    ShowRemaining();
}

void WenJianQuWei::ShowRemaining() {
    Label2->setText(
        RemainingLine(file_length_, velmora::common::ReadDecimal(Text2->text().toStdString())));
}

void WenJianQuWei::Command1_Click() {
    double x = velmora::common::ReadDecimal(Text2->text().toStdString());
    int32_t c = velmora::common::RoundToInt32(file_length_ - x);
    // A negative cut would claim more bytes than the file holds: refused like an empty result.
    if (c < 1 || c > file_length_) {
        Messages().Notice(QStringLiteral("设置错误,请重新设置。"));
        return;
    }
    if (!Messages().Question(QStringLiteral("此操作可能损害文件，确定操作？"))) return;
    std::string file = velmora::common::Fso().GetFile(chosen_file_.toStdString());
    CutToLength(file, c);
    file_length_ = c;
    Messages().Notice(QStringLiteral("操作完成。"));
}

}  // namespace tools
