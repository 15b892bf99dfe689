#pragma once

#include <QLayout>
#include <QList>

// Lays its widgets out left to right and starts a new row where the next one would not fit, so
// that a row of buttons never makes its window wider than the user's screen or choice.
class FlowLayout : public QLayout
{
public:
    explicit FlowLayout(QWidget *parent = nullptr);
    ~FlowLayout() override;

    void addItem(QLayoutItem *item) override;
    int count() const override;
    QLayoutItem *itemAt(int index) const override;
    QLayoutItem *takeAt(int index) override;
    Qt::Orientations expandingDirections() const override;
    bool hasHeightForWidth() const override;
    int heightForWidth(int width) const override;
    QSize minimumSize() const override;
    QSize sizeHint() const override;
    void setGeometry(const QRect &rect) override;

private:
    // Places the visible items in rect (or only measures, when place is false) and answers the
    // height they take.
    int arrange(const QRect &rect, bool place) const;

    QList<QLayoutItem *> items;
};
