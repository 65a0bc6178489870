// The windowing system's side of the platform layer, the same on every platform.

#include "kiv_platform.h"

#include <QGuiApplication>

#ifdef KIV_HAVE_X11EXTRAS
#include <QX11Info>
#endif

namespace kiv_platform {

namespace {

std::function<bool()>& translucencyAnswer()
{
    static std::function<bool()> answer;
    return answer;
}

} // namespace

bool windowsAreTranslucent()
{
    if (const std::function<bool()>& answer = translucencyAnswer())
        return answer();
#ifdef KIV_HAVE_X11EXTRAS
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        return QX11Info::isCompositingManagerRunning();
#endif
    return true;
}

void setTranslucencyAnswer(std::function<bool()> answer)
{
    translucencyAnswer() = std::move(answer);
}

} // namespace kiv_platform
