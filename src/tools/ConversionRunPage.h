#pragma once

#include <QWizardPage>

// The wizard page shown while the converter runs: it lets the user on only once it has ended.
class ConversionRunPage : public QWizardPage
{
    Q_OBJECT

public:
    explicit ConversionRunPage(QWidget* parent = nullptr) : QWizardPage(parent) {}

    bool isComplete() const override { return complete; }
    void setComplete(bool done)
    {
        complete = done;
        Q_EMIT completeChanged();
    }

private:
    bool complete = false;
};
