#pragma once

#include <QObject>

class QSocketNotifier;

// Turns the signals with which a desktop session ends a program (SIGTERM at logout, SIGHUP,
// SIGINT from a terminal) into an event of the window thread, so that the run ends as it does
// when the user closes the main window, with the database closed, instead of being cut off.
class SessionEnd : public QObject
{
    Q_OBJECT

public:
    explicit SessionEnd(QObject *parent = nullptr);
    ~SessionEnd() override;

    bool hasEnded() const { return m_ended; }

signals:
    void ended();

private:
    void onSignal();

    QSocketNotifier *m_notifier = nullptr;
    bool m_ended = false;
};
