// The application object: the program's title, the window's fonts and the last resort for an
// exception that escapes the event loop.
#pragma once

#include <QApplication>
#include <QString>
#include <QTranslator>

#include <functional>

class KestroApplication : public QApplication {
public:
    KestroApplication(int& argc, char** argv);

    // Runs the event loop until the last window closes or a fatal error was reported.
    // Returns 0, or 1 after a fatal error.
    int Run();

    // Delivers every event inside a guard: an exception leaving a handler is reported and ends
    // the event loop instead of running through Qt's code.
    bool notify(QObject* receiver, QEvent* event) override;

    // How a fatal error reaches the user: a critical message box unless a test replaces it.
    static void SetFatalReport(std::function<void(const QString& message)> report);

private:
    void Fatal(const QString& message);

    QTranslator qtTexts;  // Qt's own dialogs and buttons in Portuguese
    bool failed = false;
};

// Loads Tahoma, MS Sans Serif and Courier from Debian's fonts-wine when it is installed; without it
// Qt falls back to the system's fonts.
void LoadWindowFonts();
