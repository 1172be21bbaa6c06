#pragma once

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <cstdint>

#include "jindutiao.h"

namespace pellorin {

// The progress window. A new object is not loaded: its controls exist but the load steps have
// not run, it is not shown and `Clfa` is 0. Unloading hides it and announces `unloaded`, upon
// which its owner lets go of it; the object itself is never reloaded.
class Form1 : public QWidget {
    Q_OBJECT

  public:
    static constexpr int kLabel3Height = 4000;

    explicit Form1(QWidget* parent = nullptr);

    // The continue flag: 1 go on, 0 stop.
    std::int32_t Clfa = 0;

    bool isLoaded() const { return loaded_; }
    // Loads the window when it is not loaded yet (without showing it).
    void load();
    // Runs the unload steps when the window is loaded; nothing otherwise.
    void unload();

    int label3Top() const { return label3Top_; }

    QLabel* Label1;
    QLabel* Label2;
    QFrame* Picture1;
    QLabel* Label3;
    JinDuTiao* JinDuTiao1;
    QPushButton* Command1;
    QTimer* Timer1;

  signals:
    void unloaded();

  public slots:
    void Timer1_Timer();
    void Command1_Click();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void Form_Load();
    void Form_Unload();
    void placeLabel3();

    bool loaded_ = false;
    bool unloading_ = false;
    int label3Left_ = 0;
    int label3Top_ = 0;
    int label3Width_ = 0;
    int label3Height_ = 0;
};

}  // namespace pellorin
