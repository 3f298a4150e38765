#include "checkwindows.h"

#include "frmcheck.h"

#include "storage/textcodec.h"

namespace checks {
namespace {

template <class Window>
void run(QWidget *owner, const QString &text)
{
    Window window(owner);
    window.prime(text::trim(text));
    window.exec();
}

} // namespace

void openTaxCode(QWidget *owner, const QString &text) { run<TfrmCodFisc>(owner, text); }
void openVat(QWidget *owner, const QString &text) { run<TfrmPartitaIva>(owner, text); }
void openCard(QWidget *owner, const QString &text) { run<TfrmCarta>(owner, text); }
void openIban(QWidget *owner, const QString &text) { run<TfrmIban>(owner, text); }

} // namespace checks
