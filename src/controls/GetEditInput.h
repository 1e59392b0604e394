#pragma once

#include <functional>

#include <QDialog>
#include <QLineEdit>

class QPushButton;

// The small "新类别名称" dialog: one edit field, "确定" and "取消". The owner decides what a
// name means through the accept handler; the dialog hides when the handler agrees.
class GetEditInput final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(GetEditInput)

public:
    static constexpr int kOkId = 1070;
    static constexpr int kCancelId = 1072;
    inline static const QString kTitle = QStringLiteral("新类别名称");

    explicit GetEditInput(QWidget* parent = nullptr);

    // Returns true when the name was taken, which hides the dialog.
    using AcceptHandler = std::function<bool(const QString& name)>;
    void setAcceptHandler(AcceptHandler handler) { m_acceptHandler = std::move(handler); }

    QLineEdit* edit() const { return m_edit; }
    QString name() const;

public slots:
    void onOk();
    void onCancel();

signals:
    void cancelled();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QLineEdit* m_edit;
    QPushButton* m_ok;
    QPushButton* m_cancel;
    AcceptHandler m_acceptHandler;
};
