#pragma once
// The sample host: a document model of components, bodies and instances that are the scene
// library's node sources, model import, and generated and demo assemblies.
#include <Host/Document/Document.h>
#include <Host/Document/Highlighter.h>
#include <Host/Document/ModelCodec.h>
#include <Host/Document/Navigator.h>
#include <Host/Document/Picker.h>
#include <Host/Document/Render.h>
#include <Host/Generate/Assemblies.h>
#include <Host/Generate/Shapes.h>
#include <Host/Import/Importer.h>
#include <Host/Model/Body.h>
#include <Host/Model/Component.h>
#include <Host/Model/Instance.h>
#include <Host/Model/Material.h>
#include <Host/Model/Mesh.h>
#include <Host/Model/Model.h>
