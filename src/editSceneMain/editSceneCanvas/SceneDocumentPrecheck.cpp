// The scene document's counts read from the text itself, before it is parsed
// into JSON objects: a document that says at once that it holds no scenes or
// more than a device stores is refused without building it.
//
// The scan builds nothing. It only answers where it is sure that the whole
// parse would give the same answer: anything out of the ordinary (an escape in
// a key, a string that is no clean UTF-8 or starts with a byte order mark, a
// number with an exponent or a long fraction, deep nesting, a key read here
// given twice) leaves the decision to the parse.

#include "SceneDocument.h"

#include <QSet>

#include <cstring>
#include <limits>
#include <utility>

namespace {

class CDocumentScan
{
public:
    CDocumentScan(const char *pBegin, const char *pEnd)
        : m_p(reinterpret_cast<const uchar *>(pBegin)), m_pEnd(reinterpret_cast<const uchar *>(pEnd))
    {
    }

    // The first top-level "SceneCount", when it stands before any nested value
    // (as the writer puts it) and is a plain whole number. False otherwise.
    bool earlySceneCount(qint64 &nCount);

    // The whole text: true when it is one well-formed JSON object that the
    // scan understood throughout and that names each of "Version",
    // "SceneCount" and "view" at most once; then they are described below.
    bool scanDocument();

    bool m_bVersionOk = false;     // "Version" is the expected text
    qint64 m_nSceneCount = 0;      // as the path reader reads it (0 when no whole number)
    int m_nViewSize = 0;           // distinct keys of "view" (0 when no object)

private:
    enum Kind {
        KindOther,          // a literal or an array
        KindString,         // a text without escapes: its raw bytes are its content
        KindEscapedString,  // a text with escapes
        KindInteger,        // a whole number written without fraction or exponent
        KindNumber,         // any other number
        KindObject
    };

    void skipSpace();
    bool string(const uchar **ppStart, const uchar **ppEnd, bool *pbEscaped);
    // A member's key without escapes and its colon; false for anything else.
    bool plainKey(const uchar **ppKey, const uchar **ppKeyEnd);
    bool number(qint64 *pnValue, bool *pbInteger);
    bool literal(const char *pszWord);
    bool value(int nDepth, Kind *pKind, qint64 *pnInteger, const uchar **ppStr, const uchar **ppStrEnd,
               bool bViewKeys);
    bool utf8Sequence();

    const uchar *m_p;
    const uchar *m_pEnd;
    QSet<QByteArray> m_viewKeys;
};

// Deeper than any document the editor writes, and well inside the parser's
// own limit.
const int kMaxDepth = 200;

bool isSpace(uchar c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool equals(const uchar *pStart, const uchar *pEnd, const char *pszWord)
{
    const int n = int(qstrlen(pszWord));
    return pEnd - pStart == n && memcmp(pStart, pszWord, size_t(n)) == 0;
}

// The parser drops a byte order mark at the start of a text, key or value,
// so such a text may read as another one spelled without it.
bool startsWithByteOrderMark(const uchar *pStart, const uchar *pEnd)
{
    return pEnd - pStart >= 3 && pStart[0] == 0xEF && pStart[1] == 0xBB && pStart[2] == 0xBF;
}

void CDocumentScan::skipSpace()
{
    while (m_p < m_pEnd && isSpace(*m_p))
        ++m_p;
}

// One multi-byte UTF-8 character at m_p: shortest form, no surrogate, at most U+10FFFF.
bool CDocumentScan::utf8Sequence()
{
    const uchar c = *m_p;
    int nMore = 0;
    uint uMin = 0;
    uint u = 0;
    if (c >= 0xC2 && c <= 0xDF) {
        nMore = 1; uMin = 0x80; u = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
        nMore = 2; uMin = 0x800; u = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        nMore = 3; uMin = 0x10000; u = c & 0x07;
    } else {
        return false;
    }
    if (m_pEnd - m_p <= nMore)
        return false;
    for (int i = 1; i <= nMore; ++i) {
        if ((m_p[i] & 0xC0) != 0x80)
            return false;
        u = (u << 6) | (m_p[i] & 0x3F);
    }
    if (u < uMin || u > 0x10FFFF || (u >= 0xD800 && u <= 0xDFFF))
        return false;
    m_p += nMore + 1;
    return true;
}

// A string at m_p (the opening quote); its raw content between the quotes.
bool CDocumentScan::string(const uchar **ppStart, const uchar **ppEnd, bool *pbEscaped)
{
    ++m_p;
    *ppStart = m_p;
    *pbEscaped = false;
    while (m_p < m_pEnd) {
        const uchar c = *m_p;
        if (c == '"') {
            *ppEnd = m_p;
            ++m_p;
            return true;
        }
        if (c < 0x20)
            return false;
        if (c == '\\') {
            *pbEscaped = true;
            if (m_pEnd - m_p < 2)
                return false;
            const uchar e = m_p[1];
            if (e == 'u') {
                if (m_pEnd - m_p < 6)
                    return false;
                uint u = 0;
                for (int i = 2; i < 6; ++i) {
                    const uchar h = m_p[i];
                    const int d = (h >= '0' && h <= '9') ? h - '0'
                                : (h >= 'a' && h <= 'f') ? h - 'a' + 10
                                : (h >= 'A' && h <= 'F') ? h - 'A' + 10 : -1;
                    if (d < 0)
                        return false;
                    u = (u << 4) | uint(d);
                }
                if (u >= 0xD800 && u <= 0xDFFF)
                    return false;
                m_p += 6;
            } else if (e == '"' || e == '\\' || e == '/' || e == 'b' || e == 'f' || e == 'n' || e == 'r' || e == 't') {
                m_p += 2;
            } else {
                return false;
            }
            continue;
        }
        if (c < 0x80) {
            ++m_p;
            continue;
        }
        if (!utf8Sequence())
            return false;
    }
    return false;
}

// -?(0|[1-9][0-9]*)(.[0-9]+)?([eE][+-]?[0-9]+)?; *pbInteger when it has neither
// fraction nor exponent and its value is in *pnValue. Numbers the parser could
// find out of range (an exponent, hundreds of digits) are not taken.
bool CDocumentScan::number(qint64 *pnValue, bool *pbInteger)
{
    const bool bNegative = m_p < m_pEnd && *m_p == '-';
    if (bNegative)
        ++m_p;
    const uchar *pDigits = m_p;
    qint64 nValue = 0;
    if (m_p < m_pEnd && *m_p == '0') {
        ++m_p;
    } else {
        while (m_p < m_pEnd && *m_p >= '0' && *m_p <= '9') {
            if (m_p - pDigits < 18)
                nValue = nValue * 10 + (*m_p - '0');
            ++m_p;
        }
    }
    const int nDigits = int(m_p - pDigits);
    // Far beyond what the editor writes; the parser decides about such numbers.
    if (nDigits == 0 || nDigits > 300)
        return false;
    *pbInteger = nDigits <= 18;
    if (m_p < m_pEnd && *m_p == '.') {
        ++m_p;
        const uchar *pFraction = m_p;
        while (m_p < m_pEnd && *m_p >= '0' && *m_p <= '9')
            ++m_p;
        // A fraction this long could be too small for a double: the parser refuses that.
        if (m_p == pFraction || m_p - pFraction > 300)
            return false;
        *pbInteger = false;
    }
    // An exponent could make a number too large for the parser to take.
    if (m_p < m_pEnd && (*m_p == 'e' || *m_p == 'E'))
        return false;
    *pnValue = bNegative ? -nValue : nValue;
    return true;
}

bool CDocumentScan::literal(const char *pszWord)
{
    const int n = int(qstrlen(pszWord));
    if (m_pEnd - m_p < n || memcmp(m_p, pszWord, size_t(n)) != 0)
        return false;
    m_p += n;
    return true;
}

// Any value at m_p (space skipped already). Objects and arrays are walked with
// their depth; bViewKeys collects the keys of this object (the "view").
bool CDocumentScan::value(int nDepth, Kind *pKind, qint64 *pnInteger, const uchar **ppStr, const uchar **ppStrEnd,
                          bool bViewKeys)
{
    *pKind = KindOther;
    if (m_p >= m_pEnd)
        return false;
    const uchar c = *m_p;
    if (c == '"') {
        bool bEscaped = false;
        if (!string(ppStr, ppStrEnd, &bEscaped))
            return false;
        *pKind = bEscaped ? KindEscapedString : KindString;
        return true;
    }
    if (c == '-' || (c >= '0' && c <= '9')) {
        bool bInteger = false;
        if (!number(pnInteger, &bInteger))
            return false;
        *pKind = bInteger ? KindInteger : KindNumber;
        return true;
    }
    if (c == 't')
        return literal("true");
    if (c == 'f')
        return literal("false");
    if (c == 'n')
        return literal("null");
    if (c != '{' && c != '[')
        return false;
    if (nDepth >= kMaxDepth)
        return false;
    const bool bObject = c == '{';
    ++m_p;
    skipSpace();
    const uchar cClose = bObject ? '}' : ']';
    if (m_p < m_pEnd && *m_p == cClose) {
        ++m_p;
        *pKind = bObject ? KindObject : KindOther;
        return true;
    }
    for (;;) {
        if (bObject) {
            if (m_p >= m_pEnd || *m_p != '"')
                return false;
            const uchar *pKey = nullptr;
            const uchar *pKeyEnd = nullptr;
            bool bEscaped = false;
            if (!string(&pKey, &pKeyEnd, &bEscaped))
                return false;
            if (bViewKeys) {
                // two spellings of one key cannot be told apart here
                if (bEscaped || startsWithByteOrderMark(pKey, pKeyEnd))
                    return false;
                m_viewKeys.insert(QByteArray::fromRawData(reinterpret_cast<const char *>(pKey), int(pKeyEnd - pKey)));
            }
            skipSpace();
            if (m_p >= m_pEnd || *m_p != ':')
                return false;
            ++m_p;
            skipSpace();
        }
        Kind kind;
        qint64 nIgnored;
        const uchar *pIgnored;
        const uchar *pIgnoredEnd;
        if (!value(nDepth + 1, &kind, &nIgnored, &pIgnored, &pIgnoredEnd, false))
            return false;
        skipSpace();
        if (m_p >= m_pEnd)
            return false;
        if (*m_p == ',') {
            ++m_p;
            skipSpace();
            continue;
        }
        if (*m_p != cClose)
            return false;
        ++m_p;
        *pKind = bObject ? KindObject : KindOther;
        return true;
    }
}

bool CDocumentScan::plainKey(const uchar **ppKey, const uchar **ppKeyEnd)
{
    if (m_p >= m_pEnd || *m_p != '"')
        return false;
    bool bEscaped = false;
    if (!string(ppKey, ppKeyEnd, &bEscaped) || bEscaped)
        return false;
    skipSpace();
    if (m_p >= m_pEnd || *m_p != ':')
        return false;
    ++m_p;
    skipSpace();
    return true;
}

bool CDocumentScan::earlySceneCount(qint64 &nCount)
{
    skipSpace();
    if (m_p >= m_pEnd || *m_p != '{')
        return false;
    ++m_p;
    for (;;) {
        skipSpace();
        const uchar *pKey = nullptr;
        const uchar *pKeyEnd = nullptr;
        if (!plainKey(&pKey, &pKeyEnd))
            return false;
        // Only scalars are stepped over: a nested value means the count is not in front.
        if (m_p >= m_pEnd || *m_p == '{' || *m_p == '[')
            return false;
        Kind kind;
        qint64 nInteger = 0;
        const uchar *pStr = nullptr;
        const uchar *pStrEnd = nullptr;
        if (!value(1, &kind, &nInteger, &pStr, &pStrEnd, false))
            return false;
        if (equals(pKey, pKeyEnd, "SceneCount")) {
            if (kind != KindInteger)
                return false;
            nCount = nInteger;
            return true;
        }
        skipSpace();
        if (m_p >= m_pEnd || *m_p != ',')
            return false;
        ++m_p;
    }
}

bool CDocumentScan::scanDocument()
{
    skipSpace();
    if (m_p >= m_pEnd || *m_p != '{')
        return false;
    ++m_p;
    skipSpace();
    bool bEmpty = m_p < m_pEnd && *m_p == '}';
    if (bEmpty)
        ++m_p;
    // Which of repeated keys the parser keeps is its own affair.
    bool bSeenVersion = false;
    bool bSeenCount = false;
    bool bSeenView = false;
    auto firstTime = [](bool &bSeen) { return !std::exchange(bSeen, true); };
    while (!bEmpty) {
        const uchar *pKey = nullptr;
        const uchar *pKeyEnd = nullptr;
        // A top-level key with escapes or a byte order mark could spell one of the keys read here.
        if (!plainKey(&pKey, &pKeyEnd) || startsWithByteOrderMark(pKey, pKeyEnd))
            return false;
        const bool bView = equals(pKey, pKeyEnd, "view");
        if (bView && !firstTime(bSeenView))
            return false;
        Kind kind;
        qint64 nInteger = 0;
        const uchar *pStr = nullptr;
        const uchar *pStrEnd = nullptr;
        if (!value(1, &kind, &nInteger, &pStr, &pStrEnd, bView))
            return false;
        if (equals(pKey, pKeyEnd, "Version")) {
            // A text with escapes or a byte order mark could still spell the version.
            if (!firstTime(bSeenVersion) || kind == KindEscapedString
                || (kind == KindString && startsWithByteOrderMark(pStr, pStrEnd)))
                return false;
            m_bVersionOk = kind == KindString
                           && equals(pStr, pStrEnd, CSceneDocument::VERSION.toLatin1().constData());
        } else if (equals(pKey, pKeyEnd, "SceneCount")) {
            // The path reader takes a whole number written with a fraction too: left to it.
            if (!firstTime(bSeenCount) || kind == KindNumber)
                return false;
            m_nSceneCount = (kind == KindInteger && nInteger >= std::numeric_limits<int>::min()
                             && nInteger <= std::numeric_limits<int>::max())
                                ? nInteger : 0;
        } else if (bView) {
            m_nViewSize = kind == KindObject ? m_viewKeys.size() : 0;
        }
        skipSpace();
        if (m_p >= m_pEnd)
            return false;
        if (*m_p == ',') {
            ++m_p;
            skipSpace();
            continue;
        }
        if (*m_p != '}')
            return false;
        ++m_p;
        break;
    }
    skipSpace();
    return m_p == m_pEnd;
}

} // namespace

CSceneDocument::Result CSceneDocument::precheck(const QByteArray &bytes)
{
    const char *pBegin = bytes.constData();
    const char *pEnd = pBegin + bytes.size();
    qint64 nEarly = 0;
    if (!CDocumentScan(pBegin, pEnd).earlySceneCount(nEarly) || (nEarly >= 1 && nEarly <= MAX_SCENES))
        return Ok;
    CDocumentScan scan(pBegin, pEnd);
    if (!scan.scanDocument())
        return Ok;
    // The same order of checks as parse().
    if (!scan.m_bVersionOk)
        return BadVersion;
    if (scan.m_nSceneCount < 1 || scan.m_nSceneCount > scan.m_nViewSize)
        return Damaged;
    if (scan.m_nSceneCount > MAX_SCENES)
        return TooManyScenes;
    return Ok;
}
