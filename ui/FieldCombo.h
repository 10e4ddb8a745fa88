// The combo boxes that name a field of the sample line: the conditions of
// the record page and the sort key.
#pragma once

class QComboBox;

namespace quellor::ui {

// Fills a field combo box: the empty entry 0 ("no field"), then one entry
// per field, each carrying its number; the empty entry chosen.
void FillFieldChoices(QComboBox* combo, int count);
// The field number chosen in such a combo box; 0 for none.
int ChosenField(const QComboBox* combo);
// Chooses the entry of a field number (0: the empty entry); false, and the
// empty entry chosen, when the combo box has no such field.
bool ChooseField(QComboBox* combo, int number);

}  // namespace quellor::ui
