#include "checkwindows.h"

#include "frmcheck.h"

#include "storage/textcodec.h"

#include <algorithm>

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

void openTaxCodeOrVat(QWidget *owner, const QString &text)
{
    const QString code = text::trim(text);
    const bool digits = !code.isEmpty() && std::all_of(code.cbegin(), code.cend(), [](QChar c) {
        return c >= u'0' && c <= u'9';
    });
    if (digits)
        openVat(owner, code);
    else
        openTaxCode(owner, code);
}

} // namespace checks
