#pragma once
// A check box's value as the program's files store it: 0 clear, 1 ticked,
// 2 greyed (Qt orders the last two the other way round).

#include <Qt>

inline int checkValueOf(Qt::CheckState state)
{
    switch (state) {
    case Qt::Unchecked: return 0;
    case Qt::Checked: return 1;
    case Qt::PartiallyChecked: return 2;
    }
    return 0;
}

inline Qt::CheckState checkStateOf(int value)
{
    return value == 1 ? Qt::Checked : value == 2 ? Qt::PartiallyChecked : Qt::Unchecked;
}
