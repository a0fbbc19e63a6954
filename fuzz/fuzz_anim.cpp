// Animation::load on arbitrary bytes, set up from a small fixed scene of named objects, then
// bound to a scene that declares a camera and a light.
#include "anim/animation.h"
#include "anim/keyframes.h"
#include "fuzz_input.h"

#include <cstring>
#include <initializer_list>

namespace {
const char* const objectNames[] = {"tri", "lantern", "Lantern", "a", "tri"};
constexpr int objectCount = 5;

void nameObject(GeomObj& object, const char* name) {
    object.name = new char[strlen(name) + 1];
    strcpy(object.name, name);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Scene scene;
    scene.objects = new GeomObj[objectCount];
    scene.objectCount = objectCount;
    for (int i = 0; i < objectCount; ++i)
        nameObject(scene.objects[i], objectNames[i]);
    scene.cameras = new Camera[1];
    scene.cameraCount = 1;
    scene.lights = new Light[1];
    scene.lightCount = 1;

    Animation animation;
    animation.setUp(scene.objects, scene.objectCount);
    FILE* f = openFuzzInput(data, size);
    int result = animation.read(f);
    fclose(f);
    if (result == 0) {
        animation.bindTo(scene);
        // Evaluate what was bound, as a drawn frame would.
        for (int32_t frame : {-1, 0, 37}) {
            if (scene.cameras[0].posKeyCount > 0 && scene.cameras[0].targetKeyCount > 0)
                scene.cameras[0].evaluate(frame);
            for (int i = 0; i < objectCount; ++i)
                selectKey(scene.objects[i].keys, scene.objects[i].keyCount, frame);
        }
    }
    return 0;
}
