// "Monitorar outro programa" (context menu): asks where the other program (the shop's) is, relays
// between it and the printer's port chosen in the window, shows every message live in the
// "Tráfego" window, and "Monitorando: P1 ↔ P2" with "Parar" on the status line.
#pragma once

#include "session/port_monitor.h"

#include <QObject>
#include <QRect>
#include <QString>

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class QAction;
class QLabel;
class QTimer;
class QWidget;
class TrafficWatch;

class MonitorWatch : public QObject {
    Q_OBJECT

public:
    // What the window lends it.
    struct Window {
        QWidget* widget;
        TrafficWatch* traffic;
        QLabel* statusLine;                               // "Parar" shows at its right end
        std::function<std::string()> printerPort;         // the port chosen; empty when none
        std::function<std::vector<std::string>()> ports;  // the ports listed
        std::function<void(const QString&)> setStatus;    // the status line
        std::function<void(bool monitoring)> monitoring;  // the window's own controls kept off meanwhile
    };
    explicit MonitorWatch(Window window);
    ~MonitorWatch() override;

    // The context menu's entry, offered while the window may take the ports (SetOffered).
    QAction* Action() const { return action; }
    bool Running() const { return monitor != nullptr; }
    // "Parar": ends the relay and frees both ports.
    void Stop();
    // Starts with the other side given (a port's name; empty: a pseudo-terminal), without asking.
    void StartWith(const std::string& otherPort);

private:
    // Asks for the other side, then starts.
    void Ask();
    // A side lost: said on the status line, and the relay ends.
    void LookForEnd();
    void Stopped(const QString& status);
    // The relay's rows, from its thread, and their showing on the window's thread.
    void Queue(const std::vector<TrafficMessage>& messages);
    void ShowQueued();
    // "Parar", at the status line's right end.
    QLabel* StopLink();

    Window window;
    QAction* action;
    QRect statusLine;  // as the form places it, before any text of several lines
    QLabel* stopLink = nullptr;
    QTimer* endWatch;
    std::mutex pendingLock;
    std::vector<TrafficMessage> pending;  // at most the view's kMaxMessages
    bool showQueued = false;
    std::unique_ptr<PortMonitor> monitor;
};
