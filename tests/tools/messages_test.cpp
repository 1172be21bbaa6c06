#include "messages.h"

#include <QApplication>
#include <QLabel>
#include <QRegularExpression>
#include <QScreen>

#include <gtest/gtest.h>

#include "message_boxes.h"

namespace tools::msg {
namespace {

using velmora::common::FileError;

const QString kPath = QStringLiteral("/tmp/用户/key.bin");

struct Built {
    const char* name;
    QString text;
    QString names;  // the file or the entry the text must name
};

[[maybe_unused]] void PrintTo(const Built& b, std::ostream* os) {
    *os << b.name;
}

std::vector<Built> Catalogue() {
    std::vector<Built> all = {
        {"BadFileName", BadFileName(QStringLiteral("..")), QStringLiteral("..")},
        {"StartBelowOne", StartBelowOne(QStringLiteral("-3")), QStringLiteral("-3")},
        {"NumberOutOfRange", NumberOutOfRange(QStringLiteral("1e400")), QStringLiteral("1e400")},
        {"FileGone", FileGone(kPath), kPath},
        {"FileTooLarge", FileTooLarge(kPath), kPath},
    };
    const auto problems = {FileError::Problem::kMissing,     FileError::Problem::kFolder,
                           FileError::Problem::kNotRegular,  FileError::Problem::kNoPermission,
                           FileError::Problem::kReadOnly,    FileError::Problem::kDiskFull,
                           FileError::Problem::kBadPosition, FileError::Problem::kOther};
    const auto actions = {FileError::Action::kOpen,    FileError::Action::kRead,
                          FileError::Action::kWrite,   FileError::Action::kShorten,
                          FileError::Action::kMeasure, FileError::Action::kRemove};
    for (auto problem : problems) {
        all.push_back({"CannotRemove", CannotRemove(kPath, problem), kPath});
        const FileError error(FileError::Action::kWrite, problem, kPath.toStdString(), 5);
        all.push_back({"AppendUndone", AppendUndone(error), kPath});
        for (auto action : actions) {
            const FileError failure(action, problem, kPath.toStdString(), 5);
            all.push_back({"FileFailure", FileFailure(failure), kPath});
        }
    }
    return all;
}

// Every text we build is Chinese, names its file or entry, and carries no English words (a
// library's raw text would).
TEST(MessageCatalogue, BuiltTextsAreChineseAndNameTheirFile) {
    const QRegularExpression chinese(QStringLiteral("[\\x{4E00}-\\x{9FFF}]"));
    const QRegularExpression latin(QStringLiteral("[A-Za-z]"));
    for (const Built& b : Catalogue()) {
        SCOPED_TRACE(b.name);
        EXPECT_TRUE(b.text.contains(b.names)) << b.text.toStdString();
        QString rest = b.text;
        rest.remove(b.names);
        EXPECT_TRUE(rest.contains(chinese)) << b.text.toStdString();
        EXPECT_FALSE(rest.contains(latin)) << b.text.toStdString();
    }
    EXPECT_EQ(FileFailure(FileError(FileError::Action::kRead, FileError::Problem::kNoPath, "")),
              NoFileChosen());
    EXPECT_TRUE(NoFileChosen().contains(chinese));
    EXPECT_TRUE(Unexpected().contains(chinese));
}

TEST(MessageCatalogue, FailuresBecomeTheirNoticeNeverARawText) {
    const FileError file(FileError::Action::kOpen, FileError::Problem::kNoPermission,
                         kPath.toStdString(), 13);
    EXPECT_EQ(ForFailure(file), FileFailure(file));
    EXPECT_EQ(ForFailure(ToolError(kDone)), kDone);
    EXPECT_EQ(ForFailure(std::runtime_error("filesystem error: cannot remove")), Unexpected());
}

// Shown on the offscreen screen: a 300-character path wraps inside the box instead of widening
// it past the screen, and a short notice is still wide enough for its caption.
TEST(MessageBoxes, LongPathsWrapAndShortBoxesShowTheirCaption) {
    const QString longPath =
        QStringLiteral("/home/用户/") + QString(300, QLatin1Char('a')) + QStringLiteral("/key.bin");
    auto wide = velmora::common::MakeMessageBox(QStringLiteral("Tools"), FileGone(longPath), false);
    wide->show();
    QApplication::processEvents();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE(wide->width(), screen.width());
    auto* label = wide->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    ASSERT_NE(label, nullptr);
    EXPECT_LE(label->geometry().right(), wide->width());
    // Laid out at the label's width, no line of the text is wider than the label.
    const QRect needed = label->fontMetrics().boundingRect(QRect(0, 0, label->width(), 100000),
                                                           Qt::TextWordWrap, label->text());
    EXPECT_LE(needed.width(), label->width()) << "the path runs off the edge";

    auto narrow = velmora::common::MakeMessageBox(QStringLiteral("Tools"), kDone, true);
    narrow->show();
    QApplication::processEvents();
    EXPECT_GE(narrow->width(), velmora::common::kMessageBoxMinimumWidth);
    EXPECT_EQ(narrow->windowTitle(), QStringLiteral("Tools"));
}

TEST(MessageBoxes, BreakMarksGoOnlyIntoLongRuns) {
    const QString path = QStringLiteral("/a/") + QString(60, QLatin1Char('b'));
    const QString marked = velmora::common::WithBreaks(path);
    EXPECT_GE(marked.count(QChar(0x200B)), 4);
    EXPECT_EQ(QString(marked).remove(QChar(0x200B)), path);
    EXPECT_EQ(velmora::common::WithBreaks(kDone), kDone);
}

}  // namespace
}  // namespace tools::msg
