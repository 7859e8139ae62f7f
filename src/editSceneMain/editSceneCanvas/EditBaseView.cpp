#include "EditBaseView.h"

CEditBaseView::CEditBaseView(QWidget *parent)
    : QGraphicsView(parent)
{
}

CEditBaseView::~CEditBaseView() = default;
