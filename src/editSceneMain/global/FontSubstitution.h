#ifndef FONTSUBSTITUTION_H
#define FONTSUBSTITUTION_H

#include <QString>

// Maps the font families that the forms and style sheets name ("Microsoft
// YaHei", "Microsoft Yahei", "微软雅黑", "宋体") to a CJK font installed on
// this system, so that Chinese texts render, and "Comic Sans MS" to a plain
// sans ("DejaVu Sans" where installed). Call once at start-up, after the
// application object exists and before any window is built. Calling it again
// does no harm.
void g_installFontSubstitutions();

// The installed family the substitutions point at ("WenQuanYi Micro Hei" when
// present, else another family that writes Simplified Chinese; empty when the
// system has none).
QString g_cjkSubstituteFamily();

#endif // FONTSUBSTITUTION_H
