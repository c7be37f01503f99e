// The application object: title, fonts and the report of an exception that escapes a handler.
#include "ui/kestro_application.h"

#include "ui/main_window.h"
#include "ui/qt_compat.h"
#include "ui/shown_text.h"
#include "vocab/cp1252.h"
#include "vocab/status_words.h"
#include "vocab/window_texts.h"

#include <QFontDatabase>
#include <QLocale>
#include <QMessageBox>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <vector>

namespace {

std::function<void(const QString&)> fatalReport;

// Qt's messages while the application object is made, held back until it stands.
struct HeldMessage {
    QtMsgType type;
    QByteArray category;
    QString text;
};
std::vector<HeldMessage> heldMessages;
QtMessageHandler messagesBefore = nullptr;

// With no display to open the window on, Qt ends the program with a fatal message and an abort
// (status 134, after lines in English about its plugins). The technician reads one line in
// Portuguese instead, and the status is 1.
void WhileStarting(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type != QtFatalMsg) {
        heldMessages.push_back({type, context.category, text});
        return;
    }
    const std::string line = Cp1252ToUtf8(kNoDisplayText) + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
    std::_Exit(1);
}

// What must be set before the application object exists; passes argc on to it.
int& BeforeApplication(int& argc)
{
    ScaleToScreenDpi();
    messagesBefore = qInstallMessageHandler(WhileStarting);
    return argc;
}

// The application object stands: Qt's messages go their usual way, those held first.
void AfterApplication()
{
    qInstallMessageHandler(messagesBefore);
    for (const HeldMessage& message : heldMessages) {
        const QMessageLogger logger(nullptr, 0, nullptr, message.category.constData());
        switch (message.type) {
        case QtDebugMsg:
            logger.debug("%s", qUtf8Printable(message.text));
            break;
        case QtInfoMsg:
            logger.info("%s", qUtf8Printable(message.text));
            break;
        case QtCriticalMsg:
            logger.critical("%s", qUtf8Printable(message.text));
            break;
        default:
            logger.warning("%s", qUtf8Printable(message.text));
            break;
        }
    }
    heldMessages.clear();
}

}  // namespace

// Qt's translation and the fonts are built into this static library: their registration must be
// pulled in by hand, and from the global namespace.
static void InitQtTranslation() { Q_INIT_RESOURCE(qt_translation); }
static void InitWindowFonts() { Q_INIT_RESOURCE(window_fonts); }

void LoadWindowFonts()
{
    // Not tahomabd.ttf: that bold is hardly heavier than the regular face, while Qt's own
    // emboldening of the regular one reads as bold. Courier: a fixed-pitch face for the traffic's
    // bytes where the system has none.
    InitWindowFonts();
    static const char* const files[] = {"tahoma.ttf", "ms_sans_serif.ttf", "courier.ttf"};
    for (const char* file : files)
        QFontDatabase::addApplicationFont(QStringLiteral(":/fonts/") + file);
}

KestroApplication::KestroApplication(int& argc, char** argv) : QApplication(BeforeApplication(argc), argv)
{
    AfterApplication();
    // The name, not the display name: Linux window managers would append a display name to
    // every caption.
    setApplicationName(TfmMainComunic::kProductName);
    LoadWindowFonts();
    // The file dialog, its overwrite question and every Yes/No/Cancel in Portuguese, whatever the
    // system's language: the program's own texts are.
    InitQtTranslation();
    if (qtTexts.load(QStringLiteral(":/translations/qtbase_pt_BR.qm")))
        installTranslator(&qtTexts);
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
}

void KestroApplication::SetFatalReport(std::function<void(const QString&)> report)
{
    fatalReport = std::move(report);
}

void KestroApplication::Fatal(const QString& message)
{
    if (failed)
        return;  // one report; the loop is already ending
    failed = true;
    if (fatalReport)
        fatalReport(message);
    else
        QMessageBox::critical(nullptr, applicationName(), message);
    exit(1);
}

bool KestroApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        Fatal(QString::fromLocal8Bit(error.what()));
    } catch (...) {
        Fatal(Shown(kUnexpectedErrorText));
    }
    return false;
}

int KestroApplication::Run()
{
    failed = false;
    try {
        const int code = exec();
        return failed ? 1 : code;
    } catch (const std::exception& error) {
        Fatal(QString::fromLocal8Bit(error.what()));
    } catch (...) {
        Fatal(Shown(kUnexpectedErrorText));
    }
    return 1;
}
