#pragma once

#include <QList>
#include <QWidget>

class QToolButton;

#include <memory>

namespace Ui {
class Rating;
}

// A row of five stars and a clear button that shows and sets an item's rating.
class Rating : public QWidget
{
    Q_OBJECT

public:
    Rating(QWidget* parent, int iid);
    ~Rating() override;

    int getRating() const { return rating; }
    void setRating(int value);
    // Shows the first `rating` of five star buttons full and the rest empty (all empty out of 1..5).
    static void showStars(const QList<QToolButton*>& stars, int rating);

Q_SIGNALS:
    void ratingSet(int iid, int rating);

private Q_SLOTS:
    void on_btnRating0_clicked();
    void on_btnRating1_clicked();
    void on_btnRating2_clicked();
    void on_btnRating3_clicked();
    void on_btnRating4_clicked();
    void on_btnRating5_clicked();

private:
    std::unique_ptr<Ui::Rating> ui;
    int rating = 0;
    int iid;
};
