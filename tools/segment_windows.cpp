#include "segment_windows.h"

#include <QDir>
#include <QFileInfo>
#include <cmath>
#include <optional>

#include "binary_file.h"
#include "error.h"
#include "file_segments.h"
#include "fso.h"
#include "message_boxes.h"
#include "messages.h"
#include "numbers.h"
#include "tong_yong_sui_ji.h"
#include "tool_numbers.h"

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

QString RemainingLine(double remaining) {
    return QStringLiteral("文件剩余的长度是") + Number(remaining) + QStringLiteral("字节");
}

int32_t LengthOfChosen(const QString& file, velmora::common::FileListBox* list,
                       const QString& before) {
    int64_t length = velmora::common::FileLength(file.toStdString());
    if (length > INT32_MAX) {
        // The lengths are 32-bit: the file is refused before anything in the window changes,
        // and the list shows the earlier choice again.
        if (list) {
            QFileInfo earlier(before);
            bool listed = !before.isEmpty() && velmora::common::NormaliseFolder(earlier.path()) ==
                                                   velmora::common::NormaliseFolder(list->Path());
            list->SelectFile(listed ? earlier.fileName() : QString());
        }
        throw msg::ToolError(msg::FileTooLarge(file));
    }
    return static_cast<int32_t>(length);
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
    const QString clicked = ClickedFile();
    file_length_ = LengthOfChosen(clicked, File1, chosen_file_);
    chosen_file_ = clicked;
    PathBox->setText(chosen_file_);
    Label1->setText(AppendLabel(file_length_));
}

void WenJianTianJiaSuiJiDuan::WenJianTianJiaSuiJi(const QString& path, int32_t& start,
                                                  int32_t& end) {
    tools::WenJianTianJiaSuiJi(path.toStdString(), start, end);
}

void WenJianTianJiaSuiJiDuan::Command1_Click() {
    const std::string typed = Text2->text().toStdString();
    double x = velmora::common::ReadDecimal(typed);
    int32_t end = RoundToolNumber(x + file_length_, typed);
    int32_t start = file_length_ + 1;
    if (end >= start) {
        RequireChosenFile(chosen_file_);
        WenJianTianJiaSuiJi(chosen_file_, start, end);
        // What the label announces next is where the next append really starts.
        file_length_ = LengthOfChosen(chosen_file_, nullptr, chosen_file_);
        Label1->setText(AppendLabel(file_length_));
    }
    Messages().Notice(msg::kDone);
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
    const QString clicked = ClickedFile();
    file_length_ = LengthOfChosen(clicked, File1, chosen_file_);
    chosen_file_ = clicked;
    PathBox->setText(chosen_file_);
    ShowLengths();
}

void WenJianQuWei::Text2_Change() {
    if (file_length_ < 1) return;
    ShowRemaining();
}

void WenJianQuWei::ShowLengths() {
    Label1->setText(QStringLiteral("文件长度为") + Number(int64_t{file_length_}) +
                    QStringLiteral("字节,你将从尾部截去的长度是"));
    ShowRemaining();
}

void WenJianQuWei::ShowRemaining() {
    std::optional<double> r = Remaining();
    Label2->setText(r ? RemainingLine(*r) : msg::kBadSetting);
}

std::optional<double> WenJianQuWei::Remaining() const {
    double r = file_length_ - velmora::common::ReadDecimal(Text2->text().toStdString());
    // Beyond what a 32-bit length can round to (1e400 reads as infinity), no length is shown.
    if (!(r >= -2147483648.5 && r < 2147483647.5)) return std::nullopt;
    return r;
}

void WenJianQuWei::Command1_Click() {
    std::optional<double> r = Remaining();
    int32_t c = r ? velmora::common::RoundToInt32(*r) : 0;
    // A negative cut would claim more bytes than the file holds: refused like an empty result.
    if (c < 1 || c > file_length_) {
        Messages().Notice(msg::kBadSetting);
        return;
    }
    if (!Messages().Question(msg::kCutQuestion)) return;
    std::string file = RequireChosenFile(chosen_file_);
    velmora::common::Fso().GetFile(file);
    CutToLength(file, c);
    file_length_ = c;
    ShowLengths();  // the labels now announce what a second cut would do
    Messages().Notice(msg::kDone);
}

}  // namespace tools
