// "Abrir relatório de suporte" (and a report given on the window's command line): the report's
// summary in a window of its own, its traffic in the traffic view with its times; a file that is
// no report, or a damaged one, changes nothing.
#pragma once

#include <QString>

class QWidget;
class TrafficWatch;

// The status line's text: what was opened, or why nothing was.
QString OpenSupportReport(QWidget& window, const QString& path, TrafficWatch& traffic);
