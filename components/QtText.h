// The program keeps its texts as 8-bit strings; widgets need QString. Titles come from file
// names (UTF-8) and from tags (ISO-8859-1), so a text that is not valid UTF-8 is read as
// ISO-8859-1 instead of being garbled. Titles, paths and file names are shown as plain text:
// Qt would otherwise render a name such as "<b>Co" as markup.
#pragma once

#include <QMessageBox>
#include <QString>
#include <string>
#include <string_view>

QString ToQString(std::string_view text);
std::string FromQString(const QString& text);

// A tool tip that shows text literally, also where Qt would take it for rich text.
QString PlainToolTip(const QString& text);
// A modal message box whose text is shown literally.
void PlainMessageBox(QMessageBox::Icon icon, const QString& title, const QString& text);
