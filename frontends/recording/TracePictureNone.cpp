#include "frontends/recording/TracePicture.h"

namespace vantrel {

std::unique_ptr<TracePicture> MakeTracePicture(double /*scale*/, std::string& whyNot)
{
    whyNot = "--png needs a build with Qt";
    return nullptr;
}

}  // namespace vantrel
