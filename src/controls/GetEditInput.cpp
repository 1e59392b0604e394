#include "controls/GetEditInput.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

#include "controls/TitleBar.h"
#include "platform/Fonts.h"
#include "platform/Windows.h"

GetEditInput::GetEditInput(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
    , m_edit(new QLineEdit(this))
    , m_ok(new QPushButton(QStringLiteral("确定"), this))
    , m_cancel(new QPushButton(QStringLiteral("取消"), this))
{
    setObjectName(QStringLiteral("GetEditInput"));
    setWindowTitle(kTitle);
    setFont(platform::font(QStringLiteral("宋体"), 21));
    resize(220, 104);
    controls::TitleBar::Style strip;
    strip.text = QColor(240, 240, 240);
    strip.fontHeight = 21;
    strip.textAt = QPoint(5, 3);
    new controls::TitleBar(kTitle, strip, this);
    m_edit->setGeometry(QRect(QPoint(30, 40), QPoint(170, 63)));
    m_ok->setGeometry(QRect(QPoint(30, 70), QPoint(100, 92)));
    m_cancel->setGeometry(QRect(QPoint(120, 70), QPoint(190, 92)));
    m_ok->setObjectName(QString::number(kOkId));
    m_cancel->setObjectName(QString::number(kCancelId));
    for (QPushButton* b : {m_ok, m_cancel})
        b->setFont(platform::font(QStringLiteral("宋体"), 14));
    connect(m_ok, &QPushButton::clicked, this, &GetEditInput::onOk);
    connect(m_cancel, &QPushButton::clicked, this, &GetEditInput::onCancel);
}

QString GetEditInput::name() const
{
    return m_edit->text();
}

void GetEditInput::onOk()
{
    if (!m_acceptHandler || m_acceptHandler(name()))
        hide();
}

void GetEditInput::onCancel()
{
    hide();
    emit cancelled();
}

void GetEditInput::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), QColor(240, 240, 240));
}

void GetEditInput::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        platform::dragWindow(this);
    QDialog::mousePressEvent(event);
}

void GetEditInput::keyPressEvent(QKeyEvent* event)
{
    // Enter means "确定" and Esc "取消", never a bare close that skips the owner's rules.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        onOk();
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        onCancel();
        return;
    }
    QDialog::keyPressEvent(event);
}
