#pragma once

#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <deque>
#include <memory>

namespace velmora::common {

// Every window's message boxes go through this interface, so tests can answer them.
class MessageBoxes {
  public:
    virtual ~MessageBoxes() = default;
    // A modal notice with an OK button.
    virtual void Notice(const QString& text) = 0;
    // A modal question with OK and Cancel; returns false only for Cancel.
    virtual bool Question(const QString& text) = 0;
};

// QMessageBox boxes captioned with the program's title.
class QtMessageBoxes : public MessageBoxes {
  public:
    explicit QtMessageBoxes(QString title) : title_(std::move(title)) {}
    void Notice(const QString& text) override;
    bool Question(const QString& text) override;

  private:
    QString title_;
};

// Test double: records every text and answers questions from a script (OK when it runs out).
class ScriptedMessageBoxes : public MessageBoxes {
  public:
    void Notice(const QString& text) override { texts.append(text); }
    bool Question(const QString& text) override {
        texts.append(text);
        if (answers.empty()) return true;
        bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
    QStringList texts;
    std::deque<bool> answers;
};

// The box QtMessageBoxes shows, not yet shown: `question` gives OK and Cancel (Escape
// declines), otherwise OK alone. Long paths wrap instead of running off the edge, and the box
// is at least wide enough to show its caption.
std::unique_ptr<QMessageBox> MakeMessageBox(const QString& title, const QString& text,
                                            bool question);
constexpr int kMessageBoxMinimumWidth = 300;

// `text` with zero-width break marks in long runs without a break (after "/" and at least
// every 24 characters), so a word-wrapping label can break a 300-character path.
QString WithBreaks(const QString& text);

// The program's message boxes. The program installs one at start-up (tests install a double);
// the object stays owned by the caller.
MessageBoxes& Messages();
void SetMessageBoxes(MessageBoxes* boxes);

}  // namespace velmora::common
