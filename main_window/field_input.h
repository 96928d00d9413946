#pragma once

class QLineEdit;

// Replaces the first comma of the box's text by a point through the box's
// selection. Replacing the selection changes the text again, so a box whose
// change handler calls this replaces its commas one per change, left to right.
void FixDecimalComma(QLineEdit *box);
