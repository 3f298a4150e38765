// Unscrambling a stored password from arbitrary bytes, and the scramble/unscramble round
// trip of arbitrary passwords, directly and through the password file.
//
// Input: one mode byte; then either the text of the password file (mode even) or a
// UTF-16 password (mode odd). Both are also unscrambled as a stored value directly.

#include "fuzzsupport.h"

#include "storage/crypt.h"
#include "storage/inifile.h"
#include "storage/textcodec.h"

namespace {

bool isHex(const QString &s)
{
    for (QChar c : s)
        if (!((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F') || (c >= u'a' && c <= u'f')))
            return false;
    return true;
}

void unscrambleStored(const QString &hex)
{
    // The pairs before an unpaired last digit decide; a pair that is not hexadecimal
    // throws, anything else unscrambles to one character per pair.
    const QString pairs = hex.left(hex.size() / 2 * 2);
    try {
        const QString plain = Crypt::Unscramble(hex);
        FUZZ_CHECK(isHex(pairs));
        FUZZ_CHECK(plain.size() == hex.size() / 2);
        for (QChar c : plain)
            FUZZ_CHECK(c.unicode() <= 0xFF);
        FUZZ_CHECK(Crypt::Scramble(plain) == pairs.toUpper());
    } catch (const Crypt::Error &) {
        FUZZ_CHECK(!isHex(pairs));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const bool fileMode = data[0] % 2 == 0;
    ++data;
    --size;
    const QString file = fuzz::scratchDir() + u'/' + password::kFileName;

    if (fileMode) {
        const QByteArray contents = fuzz::bytes(data, size);
        unscrambleStored(text::fromCp1252(contents));
        fuzz::writeFile(file, contents);
        const QString stored = ini::read(file, password::kSection, password::kKey);
        QString plain;
        bool readable = true;
        try {
            plain = password::readStored(file);
        } catch (const Crypt::Error &) {
            readable = false;
        }
        FUZZ_CHECK(readable == isHex(stored.left(stored.size() / 2 * 2)));
        if (readable) {
            FUZZ_CHECK(text::trim(plain) == plain);
            // Storing it again keeps it, and keeps the rest of the file readable.
            password::writeStored(file, plain);
            FUZZ_CHECK(password::readStored(file) == password::normalise(plain));
        }
        return 0;
    }

    const QString typed = fuzz::utf16(data, size);
    unscrambleStored(typed);
    // Only the low eight bits of each character go in: whole for storable passwords.
    const QString scrambled = Crypt::Scramble(typed);
    FUZZ_CHECK(scrambled.size() == 2 * typed.size() && isHex(scrambled) && scrambled == scrambled.toUpper());
    const QString back = Crypt::Unscramble(scrambled);
    FUZZ_CHECK(back.size() == typed.size());
    for (qsizetype i = 0; i < typed.size(); ++i)
        FUZZ_CHECK(back[i].unicode() == (typed[i].unicode() & 0xFF));
    if (Crypt::isStorable(typed))
        FUZZ_CHECK(back == typed);

    const QString normal = password::normalise(typed);
    if (Crypt::isStorable(normal)) {
        QFile::remove(file);
        password::writeStored(file, typed);
        FUZZ_CHECK(password::readStored(file) == normal);
    }
    return 0;
}
