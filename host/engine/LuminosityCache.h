// The luminosity of a composite seen again. Documents made from one image
// (the seven runs of `run --all`) stamp the same pixels into their work
// layers, and planes share pixels until written, so the same three pixel
// buffers mean the same levels: the luminosity is computed twice per image
// instead of once per run. Not the first time: a luminosity kept costs a
// plane beside the mask made from it, which a single run need not pay.
// The composite's planes are held, so that no other owner can write them in
// place while they are the key.
#ifndef LUMACUT_HOST_LUMINOSITY_CACHE_H
#define LUMACUT_HOST_LUMINOSITY_CACHE_H

#include "Document.h"

// Luminosity(red, green, blue) of the composite, shared with the cache
// when it was seen before.
Plane CachedLuminosity(const RgbPlanes& composite);

// Lets go of the composite and its luminosity: a host done with an image
// gives their memory back now, not at the next image's first request.
void ForgetCachedLuminosity();

#endif
