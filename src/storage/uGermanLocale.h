#pragma once
#include <QLocale>
#include <QString>

// The form is German: numbers and dates use German conventions whatever the machine's locale.
const QLocale& GermanLocale();

// "12,5" and "12.5" both read as 12.5; blanks around the number are allowed. No thousands separators.
bool ParseDecimal(const QString& text, double* value);
bool ParseInteger(const QString& text, int* value);
