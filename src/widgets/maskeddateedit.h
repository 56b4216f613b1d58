#pragma once
#include <QDateTime>
#include <QLineEdit>

// A "dd/mm/yyyy" box with the mask "99/99/9999". Leaving it (focus moving
// elsewhere in the window, not to a message box) emits left().
class MaskedDateEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit MaskedDateEdit(QWidget *parent = nullptr);
    // Property of the buttons that leave without saving: moving the focus
    // to one of them is not leaving the box.
    static constexpr const char *SkipsDateCheck = "skipsDateCheck";
    // The box as the date rules read it: blanks as spaces ("  /  /    ").
    QString boxText() const;
    QDate date() const;
    QDateTime moment() const;
    void setMoment(const QDateTime &moment);
    void setDate(const QDate &date);
    void clearDate();
    // Puts the focus back once the current focus change has settled.
    void takeFocusBack();

signals:
    void left();

protected:
    void focusOutEvent(QFocusEvent *event) override;
};
