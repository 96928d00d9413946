#pragma once

class QLineEdit;
class QString;

// Replaces the first comma of the box's text by a point through the box's
// selection. Replacing the selection changes the text again, so a box whose
// change handler calls this replaces its commas one per change, left to right.
void FixDecimalComma(QLineEdit *box);

// Puts a text into the box from the program, whole. A box's length limit holds
// for typing only (Qt would cut a longer text put in by code), so the limit is
// widened to fit the text, and goes back to the box's own limit when a text
// that fits it comes in again.
void setTextWhole(QLineEdit *box, const QString &text);
