// A look at the material files an .obj model names, before the importer reads
// them. The importer's material reader crashes on a texture statement that comes
// before the file's first material ("map_Kd ..." above any "newmtl"); such a
// model is refused like any other model that cannot be read.
#pragma once

#include <string>

namespace frostline::scene {

/// Why the model at modelPath cannot be handed to the importer, or an empty
/// string when its material files are fit to read. Only .obj models name
/// material files; every other model passes. A material file is looked up the
/// way the importer looks it up: beside the model, and when the named file is
/// missing (or not readable, as isReadableFile says), the model's own name with
/// ".mtl". A material file that cannot be read passes (the importer reads the
/// model without it).
std::string materialLibraryFault(const std::string& modelPath);

}  // namespace frostline::scene
