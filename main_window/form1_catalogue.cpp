// "1-Download" and the parse of the catalogue answer.

#include "main_window/form1.h"

#include <QPushButton>

void Form1::connectCatalogue()
{
    connect(DownloadData, &QPushButton::clicked, this, &Form1::DownloadData_Click);
}

void Form1::DownloadData_Click() {}
void Form1::READFILE() {}
