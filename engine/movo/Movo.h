#ifndef MOVO_H
#define MOVO_H

/// @mainpage Movo
///
/// Movo, a 2-D sprite engine on SDL 1.2: the whole public interface in one include.
///
/// A program makes an MvStage on its SDL screen surface, loads resource files (made with
/// movo-encode) into the stage's MvResourceVault, hangs nodes that show the resources in the
/// stage's MvSceneTree, and calls MvStage::Draw once a frame; the stage repaints only what
/// changed, or redraws through OpenGL on an SDL_OPENGL screen.
///
/// The engine's source folders build on one another: base (values, log, assertions) <- io
/// (streams, reading and writing resource files) <- render (pixel painting and images) <-
/// resources (the vault and the resource kinds) <- scene (nodes and the tree); image (PNG
/// files) and platform (SDL on the desktop and in the browser) sit beside base. The stage,
/// in render, sits above them
/// all: it owns the tree and the vault. Two cycles are part of the design and stay: nodes
/// report their changes to the stage that owns their tree (stage, tree and node), and nodes
/// show resources that take nodes back to answer for them: collision maps at the node's
/// scale, a canvas's users (node and resource).
///
/// A program includes this header, or the public headers it lists one by one
/// (`<movo/MvStage.h>`); the engine's other headers are its internals and are not installed.
/// A few public members take or return internal types; they are grouped under "Engine
/// internals" and are for the engine and its tools only.
///
/// The engine guide (docs/ in the source tree) walks through these concepts in order,
/// with an example program for each (examples/).

/// @file
/// The umbrella header: includes every public header of the engine, and only those. It is
/// also their list: the build installs exactly these headers, flat under include/movo/,
/// and gives a program built with the source tree no others.

// Values, the log and checks.
#include "MvAssert.h"
#include "MvColor.h"
#include "MvColorXform.h"
#include "MvDebugOutput.h"
#include "MvFixed.h"
#include "MvGrowArray.h"
#include "MvIntRect.h"
#include "MvLog.h"
#include "MvTransform.h"
#include "MvVersion.h"
#include "MvWindowCount.h"

// Pictures read from and written to PNG files.
#include "MvPngImage.h"

// Files and memory as streams, and the type codes of resource files.
#include "MvFileStream.h"
#include "MvMemoryStream.h"
#include "MvResourceTypeCode.h"
#include "MvStream.h"
#include "MvStreamBytes.h"

// The display: the screen on the desktop and in the browser, and starting SDL alike on
// every SDL 1.2.
#include "MvDisplay.h"
#include "MvSdl.h"

// The stage and what it paints with: its dirty lists, its paint target, pictures, and the
// OpenGL textures' limits.
#include "MvDirtyList.h"
#include "MvPaintTarget.h"
#include "MvPixelBlock.h"
#include "MvStage.h"
#include "MvTextureManager.h"

// The vault and the resource kinds.
#include "MvAction.h"
#include "MvBinaryDataResource.h"
#include "MvCanvasResource.h"
#include "MvFontResource.h"
#include "MvResource.h"
#include "MvResourceVault.h"
#include "MvSpriteResource.h"
#include "MvTextDataResource.h"
#include "MvTileResource.h"

// The scene tree and the node kinds; a node's children, walked with a cursor.
#include "MvCanvasNode.h"
#include "MvChildCursor.h"
#include "MvChildLink.h"
#include "MvChildList.h"
#include "MvDrawableNode.h"
#include "MvSceneNode.h"
#include "MvSceneTree.h"
#include "MvSpriteNode.h"
#include "MvTextNode.h"
#include "MvTileNode.h"

#endif
