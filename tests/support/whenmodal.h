#pragma once
// Answers a modal window that is about to open: the step, armed before the
// call that opens the window, runs on it once it is the active modal one. A
// window that has not shown within the time allowed is reported by a warning
// and its step dropped, so a stray step cannot answer a later test.
#include <QApplication>
#include <QDeadlineTimer>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <type_traits>

namespace WhenModal {

inline constexpr int DefaultWaitMs = 10000;

inline void arm(std::function<bool(QWidget *)> matches, std::function<void(QWidget *)> step, const QByteArray &what,
                int waitMs)
{
    auto *timer = new QTimer;
    timer->setInterval(10);
    const QDeadlineTimer deadline(waitMs);
    QObject::connect(timer, &QTimer::timeout, [timer, matches, step, what, deadline] {
        QWidget *w = QApplication::activeModalWidget();
        const bool found = w && matches(w);
        if (!found && !deadline.hasExpired())
            return;
        // Stopped before the step: it may open windows and wait in them.
        timer->stop();
        timer->deleteLater();
        if (found)
            step(w);
        else
            qWarning("no modal %s appeared", what.constData());
    });
    timer->start();
}

}

// The step takes the window as T & or as T *.
template <typename T, typename Step> void whenModal(Step step, int waitMs = WhenModal::DefaultWaitMs)
{
    WhenModal::arm([](QWidget *w) { return qobject_cast<T *>(w) != nullptr; },
                   [step](QWidget *w) mutable {
                       T *window = qobject_cast<T *>(w);
                       if constexpr (std::is_invocable_v<Step &, T &>)
                           step(*window);
                       else
                           step(window);
                   },
                   T::staticMetaObject.className(), waitMs);
}

// For a window known by its class name alone.
inline void whenModal(const char *className, std::function<void(QWidget *)> step, int waitMs = WhenModal::DefaultWaitMs)
{
    WhenModal::arm([className](QWidget *w) { return w->inherits(className); }, step, className, waitMs);
}
