#!/usr/bin/env python3
"""Writes the toolkit's 13 colour style sheets into src/res/qss/.

Every sheet starts with the panel colour at character 20 and the text colour at
character 49 (the style switch reads them there), and names its eight colours
after markers such as "TextColor:" in its first comment.
Run from anywhere: python3 tools/kit_images/gen_kit_styles.py
"""
import os

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.normpath(os.path.join(HERE, "..", "..", "src", "res", "qss"))

KEYS = ["TextColor", "PanelColor", "BorderColor", "NormalColorStart", "NormalColorEnd",
        "DarkColorStart", "DarkColorEnd", "HighColor"]

STYLES = {
    "silvery":    ["#000000", "#F2F3F5", "#A8ACB0", "#F8F9FB", "#DCDFE4", "#D0D4DA", "#B9BEC6", "#5B8DB8"],
    "blue":       ["#324C6C", "#EAF2FB", "#8BA9C9", "#E2EDF9", "#C1D6EE", "#B5CDE9", "#97B7DD", "#2F6FB3"],
    "lightblue":  ["#386487", "#F3F9FF", "#A8C8E2", "#F0F7FE", "#D6E8F8", "#C8E0F5", "#ADCFEE", "#3D8FD1"],
    "darkblue":   ["#DEE7F2", "#1E3A5A", "#3D6A99", "#2B4F77", "#1E3A5A", "#3A6797", "#2A5079", "#6FB3F2"],
    "gray":       ["#000000", "#E4E4E4", "#A0A0A0", "#EAEAEA", "#CFCFCF", "#C4C4C4", "#AFAFAF", "#666666"],
    "lightgray":  ["#333333", "#F4F4F4", "#C0C0C0", "#FAFAFA", "#E6E6E6", "#DCDCDC", "#C9C9C9", "#808080"],
    "darkgray":   ["#F0F0F0", "#4B4B4B", "#6E6E6E", "#5C5C5C", "#464646", "#6A6A6A", "#535353", "#B0B0B0"],
    "black":      ["#E8E8E8", "#2E2E2E", "#555555", "#3A3A3A", "#262626", "#4A4A4A", "#333333", "#46A3FF"],
    "lightblack": ["#F0F0F0", "#444444", "#646464", "#505050", "#3C3C3C", "#5E5E5E", "#4A4A4A", "#00BB9E"],
    "darkblack":  ["#D7D7D7", "#1A1A1A", "#3C3C3C", "#262626", "#141414", "#333333", "#202020", "#FF8C00"],
    "inkblack":   ["#C8CDD3", "#16191D", "#2E343B", "#20252B", "#121518", "#2C333B", "#1B2026", "#2EA6FF"],
    "flatblack":  ["#BEBEBE", "#2D2D30", "#3F3F46", "#333337", "#333337", "#3E3E42", "#3E3E42", "#007ACC"],
    "flatwhite":  ["#57595B", "#FFFFFF", "#D7DBDE", "#FFFFFF", "#FFFFFF", "#F2F4F5", "#F2F4F5", "#1ABC9C"],
}

BODY = """
QWidget[form="true"],QLabel[frameShape="1"]{{border:1px solid {BorderColor};border-radius:0px;}}
QWidget[form="title"]{{background:qlineargradient(spread:pad,x1:0,y1:0,x2:0,y2:1,stop:0 {NormalColorStart},stop:1 {NormalColorEnd});}}
QWidget[form="title"] QLabel{{border-style:none;color:{TextColor};background:none;}}
QWidget[form="title"] QAbstractButton{{border-style:none;border-radius:0px;padding:0px;color:{TextColor};background:none;}}
QWidget[form="title"] QAbstractButton:hover,QWidget[form="title"] QAbstractButton:pressed{{background:{DarkColorStart};}}
QWidget[form="title"] QPushButton#btnMenu_Close:hover{{background:#E04343;color:#FFFFFF;}}
QToolButton::menu-indicator{{image:none;}}
QDialog,QWidget#widget,QWidget#widgetMain{{background:{PanelColor};}}
QLabel,QCheckBox,QRadioButton,QGroupBox{{color:{TextColor};}}
QLineEdit,QTextEdit,QPlainTextEdit,QSpinBox,QDoubleSpinBox,QComboBox,QDateEdit,QTimeEdit,QDateTimeEdit{{border:1px solid {BorderColor};border-radius:3px;padding:2px;background:{PanelColor};color:{TextColor};selection-background-color:{HighColor};selection-color:#FFFFFF;}}
QLineEdit:focus,QTextEdit:focus,QPlainTextEdit:focus,QSpinBox:focus,QDoubleSpinBox:focus,QComboBox:focus{{border:1px solid {HighColor};}}
QComboBox QAbstractItemView{{border:1px solid {BorderColor};background:{PanelColor};color:{TextColor};selection-background-color:{HighColor};}}
QPushButton,QToolButton{{border:1px solid {BorderColor};border-radius:3px;padding:4px 8px;color:{TextColor};background:qlineargradient(spread:pad,x1:0,y1:0,x2:0,y2:1,stop:0 {NormalColorStart},stop:1 {NormalColorEnd});}}
QPushButton:hover,QToolButton:hover{{background:qlineargradient(spread:pad,x1:0,y1:0,x2:0,y2:1,stop:0 {DarkColorStart},stop:1 {DarkColorEnd});}}
QPushButton:pressed,QToolButton:pressed,QToolButton:checked{{border:1px solid {HighColor};background:qlineargradient(spread:pad,x1:0,y1:0,x2:0,y2:1,stop:0 {DarkColorEnd},stop:1 {DarkColorStart});}}
QPushButton:disabled,QToolButton:disabled,QLineEdit:disabled,QComboBox:disabled{{color:{BorderColor};}}
QMenu{{border:1px solid {BorderColor};background:{PanelColor};color:{TextColor};}}
QMenu::item{{padding:4px 20px;}}
QMenu::item:selected{{background:{HighColor};color:#FFFFFF;}}
QTabWidget::pane{{border:1px solid {BorderColor};}}
QTabBar::tab{{border:1px solid {BorderColor};padding:4px 10px;color:{TextColor};background:{NormalColorEnd};}}
QTabBar::tab:selected,QTabBar::tab:hover{{background:{DarkColorStart};}}
QTableView,QTreeView,QListView{{border:1px solid {BorderColor};background:{PanelColor};color:{TextColor};gridline-color:{BorderColor};selection-background-color:{HighColor};selection-color:#FFFFFF;}}
QHeaderView::section{{border:none;border-right:1px solid {BorderColor};padding:3px;color:{TextColor};background:{NormalColorEnd};}}
QProgressBar{{border:1px solid {BorderColor};border-radius:3px;text-align:center;color:{TextColor};background:{PanelColor};}}
QProgressBar::chunk{{background:{HighColor};}}
QSlider::groove:horizontal{{height:4px;background:{BorderColor};}}
QSlider::handle:horizontal{{width:12px;margin:-5px 0px;border-radius:6px;background:{HighColor};}}
QScrollBar:vertical{{width:10px;background:{PanelColor};}}
QScrollBar::handle:vertical{{min-height:20px;border-radius:4px;background:{DarkColorEnd};}}
QScrollBar:horizontal{{height:10px;background:{PanelColor};}}
QScrollBar::handle:horizontal{{min-width:20px;border-radius:4px;background:{DarkColorEnd};}}
QScrollBar::add-line,QScrollBar::sub-line{{width:0px;height:0px;}}
QToolTip{{border:1px solid {BorderColor};padding:2px;color:{TextColor};background:{PanelColor};}}
"""


def sheet(colours):
    values = dict(zip(KEYS, colours))
    head = "QPalette{background:%s;}*{outline:0px;color:%s;}" % (values["PanelColor"],
                                                                 values["TextColor"])
    assert head[20:27] == values["PanelColor"] and head[49:56] == values["TextColor"]
    markers = "".join("%s:%s;" % (k, values[k]) for k in KEYS)
    return head + "\n/*" + markers + "*/" + BODY.format(**values)


if __name__ == "__main__":
    os.makedirs(OUT, exist_ok=True)
    for name, colours in STYLES.items():
        with open(os.path.join(OUT, name + ".css"), "w", newline="\n") as f:
            f.write(sheet(colours))
        print("wrote", name + ".css")
