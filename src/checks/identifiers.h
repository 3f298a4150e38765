#pragma once
// The four identifier checks: tax code, VAT number (with its issuing office), payment
// card number and IBAN. Pure rules on text; the check windows turn the answers into
// their messages.

#include <QString>
#include <QStringView>

namespace checks {

// ---- Tax code (16 characters, the last one a check letter) ----------------------------

enum class TaxCodeAnswer { BadFormat, Valid, Wrong };

// The check letter of the first 15 characters (digits and A-Z); a null QChar when they are
// not 15 such characters.
QChar taxCodeCheckLetter(QStringView first15);

// Letters a-z count as A-Z. BadFormat unless exactly 16 digits and letters.
TaxCodeAnswer checkTaxCode(const QString &code);

// ---- VAT number (11 digits, the last one a check digit) -------------------------------

inline constexpr int kVatLength = 11;

enum class VatAnswer { BadLength, Valid, Wrong };

struct VatResult {
    VatAnswer answer;
    QString officeCode; // characters 8 to 10 when valid
    QString office;     // its name; empty when the code is not in the table
};

// The check digit of ten digits, or -1 when they are not ten digits.
int vatCheckDigit(QStringView first10);

// The issuing office of a three-digit office code; empty when unknown.
QString vatOffice(QStringView code);

// BadLength unless 11 characters; Wrong when any is not a digit or the check digit fails.
VatResult checkVat(const QString &number);

// ---- Payment card ---------------------------------------------------------------------

// At most this many digits take part in the check-digit test; the rest are ignored.
inline constexpr int kCardDigits = 20;

enum class CardFamily { None, DinersClub, AmericanExpress, Jcb, Visa, MasterCard, Discover };

// The digits of the text (other characters skipped), cut to the first kCardDigits.
QString cardDigits(const QString &text);

// Luhn test of a digit string; false for an empty one.
bool luhnValid(QStringView digits);

// The family of a number by its first digits; None when no family fits.
CardFamily cardFamily(QStringView digits);

QString cardFamilyName(CardFamily family);

enum class CardAnswer { Empty, Wrong, Valid };

struct CardResult {
    CardAnswer answer;
    CardFamily family; // None with Valid: the number passes but belongs to no known family
    QString shown;     // the trimmed text, as the messages repeat it
};

// Empty for a blank text; Wrong when the test fails or the first digit is not 3 to 6.
CardResult checkCard(const QString &text);

// ---- IBAN -----------------------------------------------------------------------------

inline constexpr int kIbanLength = 27;

// Modulo-97 test of the check digits: blanks removed, letters of either case, the word
// "IBAN" allowed once in front.
bool ibanValid(const QString &text);

enum class IbanAnswer { BadLength, Valid, Wrong };

// The text is trimmed; BadLength unless 27 characters long (blanks inside count).
IbanAnswer checkIban(const QString &text);

} // namespace checks
