#include "host/screens/qt/version_info_dialog.h"

#include <QGridLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

#include "common/qt/qt_text.h"
#include "host/resources/message_texts.h"

namespace tavc {
namespace {

constexpr int kProductPointSize = 20;

QLabel* Label(QDialog* io_l_dialog, const char* in_l_name, const QString& in_l_text) {
  auto* l_label = new QLabel(in_l_text, io_l_dialog);
  l_label->setObjectName(QString::fromLatin1(in_l_name));
  return l_label;
}

}  // namespace

VersionInfoDialog::VersionInfoDialog(const std::wstring& in_l_own_version, QWidget* in_l_screen)
    : QDialog(in_l_screen) {
  setObjectName(QStringLiteral("VersionInfoDialog"));
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowModality(Qt::WindowModal);
  setWindowTitle(ToQString(LoadJapaneseText(3009)));
  auto* l_layout = new QGridLayout(this);
  QLabel* l_picture = Label(this, "picture", QString());
  l_picture->setPixmap(QPixmap(QStringLiteral(":/tav/version.bmp")));
  l_layout->addWidget(l_picture, 0, 0, 1, 2, Qt::AlignHCenter);
  QLabel* l_product = Label(this, "product", ToQString(LoadJapaneseText(3301)));
  QFont l_large = l_product->font();
  l_large.setPointSize(kProductPointSize);
  l_product->setFont(l_large);
  l_layout->addWidget(l_product, 1, 0, Qt::AlignRight | Qt::AlignBottom);
  l_layout->addWidget(Label(this, "ver", ToQString(L"Ver" + in_l_own_version)), 1, 1, Qt::AlignLeft | Qt::AlignBottom);
  l_layout->addWidget(Label(this, "maker", ToQString(LoadJapaneseText(3302))), 2, 0, 1, 2, Qt::AlignHCenter);
  auto* l_ok = new QPushButton(ToQString(LoadJapaneseText(3100)), this);
  l_ok->setObjectName(QStringLiteral("ok"));
  l_ok->setDefault(true);
  connect(l_ok, &QPushButton::clicked, this, &QDialog::accept);
  l_layout->addWidget(l_ok, 3, 0, 1, 2, Qt::AlignHCenter);
}

}  // namespace tavc
