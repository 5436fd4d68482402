#pragma once

#include <QComboBox>
#include <QLocale>

// A choice of languages, each shown by its own name, the system's language selected.
class LanguageComboBox : public QComboBox
{
    Q_OBJECT

public:
    explicit LanguageComboBox(QWidget* parent = nullptr);

    QLocale::Language currentLanguage() const;
    void setCurrentLanguage(QLocale::Language language);
};
