#include "message_boxes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QGridLayout>
#include <QKeyEvent>
#include <QSpacerItem>

namespace velmora::common {

namespace {

MessageBoxes* installed = nullptr;

constexpr QChar kBreak(0x200B);  // zero-width space: a place where a line may break
constexpr int kLongestRun = 24;

// Characters after which a path may break.
bool BreaksAfter(QChar c) {
    return c == QLatin1Char('/') || c == QLatin1Char('\\') || c == QLatin1Char('_') ||
           c == QLatin1Char('-');
}

// Keeps Ctrl+C giving the text as written, without the break marks.
class WrappingMessageBox : public QMessageBox {
  public:
    WrappingMessageBox(Icon icon, const QString& title, const QString& text,
                       StandardButtons buttons)
        : QMessageBox(icon, title, WithBreaks(text), buttons), plain_(text) {}

  protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->matches(QKeySequence::Copy)) {
            QApplication::clipboard()->setText(plain_);
            return;
        }
        QMessageBox::keyPressEvent(event);
    }

  private:
    QString plain_;
};

}  // namespace

QString WithBreaks(const QString& text) {
    QString out;
    out.reserve(text.size() + text.size() / 8);
    int run = 0;
    for (QChar c : text) {
        out.append(c);
        // Letters and digits in one long run (a path, a long number) get break marks; Chinese
        // text and ordinary words already break by themselves.
        bool breaks_itself = c.isSpace() || c.unicode() >= 0x2E80;
        run = breaks_itself ? 0 : run + 1;
        if (!breaks_itself && (BreaksAfter(c) || run >= kLongestRun)) {
            out.append(kBreak);
            run = 0;
        }
    }
    return out;
}

std::unique_ptr<QMessageBox> MakeMessageBox(const QString& title, const QString& text,
                                            bool question) {
    std::unique_ptr<QMessageBox> box = std::make_unique<WrappingMessageBox>(
        question ? QMessageBox::Question : QMessageBox::Information, title, text,
        question ? (QMessageBox::Ok | QMessageBox::Cancel) : QMessageBox::Ok);
    // The buttons speak the windows' language like everything else in them.
    box->button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
    if (question) box->button(QMessageBox::Cancel)->setText(QStringLiteral("取消"));
    box->setDefaultButton(QMessageBox::Ok);
    if (question) box->setEscapeButton(QMessageBox::Cancel);
    box->setTextFormat(Qt::PlainText);
    // A box only as wide as a short text elides its own caption; the window frame needs room
    // for the caption beside its buttons. A spacer is what QMessageBox's own sizing honours.
    const int caption = box->fontMetrics().horizontalAdvance(title);
    const int width = std::max(kMessageBoxMinimumWidth, caption + 160);
    if (auto* grid = qobject_cast<QGridLayout*>(box->layout())) {
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }
    return box;
}

void QtMessageBoxes::Notice(const QString& text) {
    MakeMessageBox(title_, text, false)->exec();
}

bool QtMessageBoxes::Question(const QString& text) {
    auto box = MakeMessageBox(title_, text, true);
    box->exec();
    return box->clickedButton() != box->button(QMessageBox::Cancel);
}

MessageBoxes& Messages() {
    static QtMessageBoxes fallback(QStringLiteral("Velmora"));
    return installed ? *installed : fallback;
}

void SetMessageBoxes(MessageBoxes* boxes) {
    installed = boxes;
}

}  // namespace velmora::common
