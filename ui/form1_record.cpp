#include "ui/form1.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace zubeki {

void Form1::connectRecordPanel() {}

void Form1::KIFU_READ_Click() {
    描画_可視(true, true, true);
    描画_棋譜_IO(1);
}

void Form1::KIFU_WRITE_Click() {
    if (state.REVERSED == TRUE_CODE) {
        message("反転後は書き込みできません", "棋譜書込");
        return;
    }
    描画_可視(true, true, false);
    描画_棋譜_IO(0);
}

} // namespace zubeki
