#pragma once
#include <QWidget>

// The picture of the start page.
class StartPicture : public QWidget
{
public:
    explicit StartPicture(QWidget *parent = nullptr)
        : QWidget(parent)
    { }

protected:
    void paintEvent(QPaintEvent *event) override;
};
