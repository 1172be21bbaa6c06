#include "bang_zhu.h"

#include <QApplication>
#include <QDir>
#include <QFont>
#include <QScrollBar>
#include <algorithm>

#include "binary_file.h"
#include "help_messages.h"
#include "utf16le.h"

namespace velmora {

namespace {

constexpr char kHelpFileName[] = "Help.lib";
// The shipped text is some 20 kB; a file of many megabytes is not a help file, and showing it
// would only stall the window.
constexpr int64_t kHelpFileLimit = 16 * 1024 * 1024;
constexpr int kTwipsPerPixel = 15;

}  // namespace

BangZhu::BangZhu() {
    setObjectName(QStringLiteral("BangZhu"));
    setWindowTitle(QStringLiteral("帮助"));
    Text1 = new QPlainTextEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    // "宋体" is asked for by name; fontconfig stands in a CJK face where it is missing.
    Text1->setFont(QFont(QStringLiteral("宋体"), 12));
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Text1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Text1->setReadOnly(true);
    Text1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    common::PlaceTwips(Text1, 120, 0, 8500, 7000);
    resize(common::Twips(9000), common::Twips(7600));
}

void BangZhu::Form_Load() {
    // The main window carries the application's icon; the help window shows the same one.
    setWindowIcon(QApplication::windowIcon());
}

void BangZhu::resizeEvent(QResizeEvent* event) {
    common::FormWindow::resizeEvent(event);
    Form_Resize();
}

void BangZhu::Form_Resize() {
    // The box follows the window's outer size less a margin for the borders and the caption.
    // A window manager's caption can be taller than that margin, so the box is also held to the
    // client area; a minimised or tiny window gives an empty box rather than a negative size.
    const QSize outer = frameGeometry().size();
    const int width = common::Twips(outer.width() * kTwipsPerPixel - 350);
    const int height = common::Twips(outer.height() * kTwipsPerPixel - 500);
    Text1->resize(std::clamp(std::min(width, this->width() - Text1->x()), 0, QWIDGETSIZE_MAX),
                  std::clamp(std::min(height, this->height() - Text1->y()), 0, QWIDGETSIZE_MAX));
}

void BangZhu::FmeJiekou() {
    // Only the current directory is looked at. The name shown is the absolute one, so the user
    // learns where the program looked.
    QString shown = QDir::currentPath();
    if (!shown.isEmpty() && !shown.endsWith(QLatin1Char('/'))) shown += QLatin1Char('/');
    shown += QLatin1String(kHelpFileName);

    const common::WholeFile file = common::ReadWholeFile(kHelpFileName, kHelpFileLimit);
    switch (file.status) {
        case common::WholeFile::Status::kMissing:
            Text1->setPlainText(help::MissingHelpFile(shown));
            return;
        case common::WholeFile::Status::kUnreadable:
            Text1->setPlainText(help::UnreadableHelpFile(shown));
            return;
        case common::WholeFile::Status::kTooLarge:
            Text1->setPlainText(help::HelpFileTooLarge(shown));
            return;
        case common::WholeFile::Status::kRead:
            break;
    }
    if (file.bytes.empty()) return;
    const std::vector<uint8_t> bytes = codec_.BZFJmi(file.bytes);
    const std::u16string text = common::FromUtf16LeBytes(bytes.data(), bytes.size());
    Text1->setPlainText(QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())));
}

}  // namespace velmora
