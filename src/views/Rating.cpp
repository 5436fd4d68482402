#include "Rating.h"

#include "ui_Rating.h"

#include "FlatToolButtonStyle.h"

#include <QIcon>

Rating::Rating(QWidget* parent, int itemId) : QWidget(parent), ui(std::make_unique<Ui::Rating>()), iid(itemId)
{
    ui->setupUi(this);
    // A table shows dozens of these at a time and makes them as rows scroll into view, so the
    // icons are shared, not read from their files for each widget, and the buttons have no
    // frame through one shared style rather than a style sheet of their own.
    static const QIcon clear(":/icons/icons/16x16/delete.png");
    ui->btnRating0->setIcon(clear);
    const QList<QToolButton*> stars = {ui->btnRating1, ui->btnRating2, ui->btnRating3, ui->btnRating4, ui->btnRating5};
    showStars(stars, 0);
    ui->btnRating0->setStyle(FlatToolButtonStyle::shared());
    for (QToolButton* star : stars) {
        star->setStyle(FlatToolButtonStyle::shared());
    }
}

Rating::~Rating() = default;

void Rating::setRating(int value)
{
    rating = value;
    showStars({ui->btnRating1, ui->btnRating2, ui->btnRating3, ui->btnRating4, ui->btnRating5}, rating);
    Q_EMIT ratingSet(iid, rating);
}

void Rating::showStars(const QList<QToolButton*>& stars, int rating)
{
    static const QIcon emptyStar(":/icons/icons/16x16/001_17.png");
    static const QIcon fullStar(":/icons/icons/16x16/001_15.png");
    const int full = (rating >= 1 && rating <= 5) ? rating : 0;
    for (int i = 0; i < stars.size(); ++i) {
        stars[i]->setIcon(i < full ? fullStar : emptyStar);
    }
}

void Rating::on_btnRating0_clicked()
{
    setRating(0);
}

void Rating::on_btnRating1_clicked()
{
    setRating(1);
}

void Rating::on_btnRating2_clicked()
{
    setRating(2);
}

void Rating::on_btnRating3_clicked()
{
    setRating(3);
}

void Rating::on_btnRating4_clicked()
{
    setRating(4);
}

void Rating::on_btnRating5_clicked()
{
    setRating(5);
}
