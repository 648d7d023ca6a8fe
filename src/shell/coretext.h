// The texts the layers below the window hand up (message boxes, status panes, task rows), shown in the
// operator's language. Those layers have no Qt, so their texts are translated here, keyed by the source.
#pragma once

#include <string>

#include <QString>

class CCoreText {
public:
    // A message box text or caption, or a status-bar problem. Known texts are translated; a text composed
    // of a known pattern (a path or a reason inside) gets its fixed parts and known parts translated; any
    // other text, a path or a system's error text for one, is shown as it is.
    static QString Message(const std::string& text);
    // A text of status panes 2 to 6 ("Online", "Plotting", "Stopped", ...); anything else as it is.
    static QString StatusPane(const std::string& text);
    // A task row's state (column 0) or details (column 4); anything else as it is.
    static QString TaskRow(const std::string& text);
};
