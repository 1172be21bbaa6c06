#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>

class QCloseEvent;

namespace velmora::common {

// A control with its name as objectName (tests and the layout tables find it by that name), and
// its initial text or caption.
template <class W>
W* Make(QWidget* parent, const char* name, const QString& text = {}) {
    auto* w = new W(text, parent);
    w->setObjectName(QLatin1String(name));
    return w;
}

// Layout positions are given in twips; 15 twips are one pixel.
constexpr int Twips(int twips) {
    return twips / 15;
}
void PlaceTwips(QWidget* widget, int left, int top, int width, int height);

// Check-box values 0 (clear), 1 (checked), 2 (grayed) against Qt's numbering, in one place.
int CheckValue(Qt::CheckState state);
Qt::CheckState CheckStateOf(int value);

// A window with a load and an unload step. Its close box unloads it (runs Form_Unload and
// releases the default instance) rather than just hiding it.
class FormWindow : public QWidget {
    Q_OBJECT
  public:
    using QWidget::QWidget;
    virtual void Form_Load() {}
    virtual void Form_Unload() {}
    // Set by DefaultInstance so that the close box can unload the window.
    void SetUnloader(std::function<void()> unloader) { unloader_ = std::move(unloader); }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    std::function<void()> unloader_;
};

// The default instance of a window class: Get() creates and loads it when it is not loaded;
// Unload() runs Form_Unload and destroys it; unloading a window that is not loaded does nothing;
// hiding the window keeps the instance and everything it holds.
// The reference stays valid while Form_Unload runs and is emptied only after it: an unload step
// may still reach its own window (a launcher that unloads its tools lets each tool show it once
// more while closing). Asking to unload the same window again from inside its unload does
// nothing.
template <class W>
class DefaultInstance {
  public:
    W* Get() {
        if (!window_) {
            window_ = new W;
            window_->setAttribute(Qt::WA_DeleteOnClose, false);
            window_->SetUnloader([this] { Unload(); });
            window_->Form_Load();
        }
        return window_;
    }
    bool Loaded() const { return !window_.isNull(); }
    W* IfLoaded() const { return window_; }
    void Unload() {
        if (!window_ || unloading_) return;
        W* w = window_;
        {
            Unloading scope(unloading_);
            w->Form_Unload();
        }
        window_ = nullptr;
        w->hide();
        w->deleteLater();
    }

  private:
    struct Unloading {
        explicit Unloading(bool& flag) : flag_(flag) { flag_ = true; }
        ~Unloading() { flag_ = false; }
        bool& flag_;
    };
    QPointer<W> window_;
    bool unloading_ = false;
};

}  // namespace velmora::common
