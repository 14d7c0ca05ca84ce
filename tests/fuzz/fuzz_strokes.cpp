// The stroke data reader on any bytes: a file is refused or every character
// in it reads (its outline unpacks or fails cleanly), and the recogniser
// built on it answers.
#include "fuzzsupport.h"

#include "strokes/recogniser.h"
#include "strokes/strokedata.h"

using namespace Verarov::Strokes;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    StrokeData strokes;
    if (!strokes.openBytes(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)))) {
        require(strokes.count() == 0 && !strokes.errorString().isEmpty(), "refused with a message");
        return 0;
    }
    for (int i = 0; i < strokes.count(); ++i) {
        require(strokes.find(strokes.codePoint(i)) == i, "found where it stands");
        const auto medians = strokes.medians(i);
        require(medians.size() == strokes.strokeCount(i) && !medians.isEmpty(), "medians");
        Character c;
        if (strokes.character(i, &c))
            require(c.strokes.size() == medians.size(), "an outline a stroke");
        else
            require(c.strokes.isEmpty(), "nothing of a damaged outline");
    }
    const Recogniser recogniser(strokes);
    const auto found = recogniser.recognise({{{0, 50}, {100, 50}}, {{50, 0}, {50, 100}}});
    require(found.size() <= 10, "at most ten candidates");
    return 0;
}
