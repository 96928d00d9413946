// "3-Calcul": the star pattern search, the fit and the review of candidates.

#include "main_window/form1.h"

#include <QPushButton>

void Form1::connectSolution()
{
    connect(startCalcul, &QPushButton::clicked, this, &Form1::startCalcul_Click);
}

void Form1::Algo() {}
void Form1::startCalcul_Click() {}
