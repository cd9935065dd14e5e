#pragma once
// The engine's records: the in-memory form of everything the 3-D engine keeps
// for a level and a frame, shared by every engine module, the renderers, the
// game and the world simulation.
//
// Rules that hold for every record here:
// - Plain aggregates with no constructors and no default member initialisers,
//   so that they can live in pool blocks (PoolAlloc) and be cleared with memset
//   or value-initialisation. Each record says what its creator must set when
//   "cleared" (all zeros) is not the right start. The static_asserts at the end
//   keep them trivial.
// - Lists are intrusive: a record carries its own prev/next links; a list's
//   owner holds first/last.
// - Links are real pointers; no int ever holds a pointer and no data pointer
//   ever holds a function.
// - This is NOT the file format. Archives are read field by field by the
//   readers; never read or write one of these structs as bytes.
// - Fields marked "i32" in the design are int32_t; frame stamps are FrameStamp
//   (uint32_t, only ever grow); bit masks tested against all ones are uint32_t.
// - Positions that the design lists as one "3 floats" field are Vec3; ones it
//   lists as separate x, y, z fields stay separate floats.
#include <cstddef>
#include <cstdint>
#include <type_traits>

// ---------------------------------------------------------------------------
// Basic shared types
// ---------------------------------------------------------------------------

struct Vec3 {
  float x, y, z;
};

// A 4x4 matrix as the matrix stack uses it: 16 floats, row-major, row vectors,
// translation in elements 12..14, always post-multiplied. It stays a plain
// array so that record fields pass straight to MatrixLoad(const float m[16]).
inline constexpr int kMatrixElements = 16;
using Matrix = float[kMatrixElements];

// A plane {nx, ny, nz, d}; a point p is inside (in front) when n . p >= d.
struct Plane {
  float nx, ny, nz, d;
};

// Frame stamp: value of g_FrameStamp (RenderWorld and every sphere query add
// 1). Stamps only grow; g_FrameStamp starts at 0, so the first real stamp is
// 1 and kStampNever (0) is older than every real use.
using FrameStamp = std::uint32_t;
inline constexpr FrameStamp kStampNever = 0;
// How many stamps ago `then` was, correct across wrap-around. Compare ages,
// never raw stamps ("older than now - 200" must be StampAge(now, t) > 200).
constexpr FrameStamp StampAge(FrameStamp now, FrameStamp then) { return now - then; }

// Light level handed to the rasteriser: 16.16, row = level >> 16 (0..30).
inline constexpr float kLightLevelScale = 1966079.0f;  // 0x1DFFFF
inline constexpr std::int32_t kLightLevelBias = 0x8000;

inline constexpr float kFullTurn = 6.2831855f;

struct PropertyEntry;
struct Texture;
struct Surface;
struct Light;
struct WorldPolygon;
struct BspNode;
struct BspFragment;
struct Particle;
struct ParticleLink;
struct PolygonGroup;
struct Model;
struct MeshNode;
struct RotationKey;
struct PositionKey;
struct PathSegment;
struct PathJunction;
struct Instance;
struct InstanceNode;
struct InstanceFragment;
struct BspNodeIndex;
struct World;
struct View;
struct PolyVertex;

// ---------------------------------------------------------------------------
// Engine allocator and error record
// ---------------------------------------------------------------------------

inline constexpr int kPoolClassBytes = 16;   // class c blocks are c x 16 bytes
inline constexpr int kPoolClassCount = 256;  // classes 1..256
inline constexpr int kPoolLargeSize = 4096;  // this size and above: general heap

// A free small block on its class list. The link is pointer-sized (the build
// is 64-bit); the smallest block is 16 bytes, so it always fits.
struct PoolFreeBlock {
  PoolFreeBlock* next;
};

enum EngineErrorCode : std::int32_t {
  kEngineErrorNone = 0,
  kEngineErrorVertexCount = 1,     // "Invalid vertex number\n"
  kEngineErrorNormalTooSmall = 2,  // "Normal too small\n"
  kEngineErrorConcave = 3,         // "Concave polygon\n"
  kEngineErrorVersion = 4,         // "Data file version %d.%02d, library version %d.%02d"
  kEngineErrorEmptyMesh = 5,       // "Mesh with 0 vertices\n" (never set)
  kEngineErrorBadData = 6,         // "<member>: <what was wrong>" (EngineRefuse)
};

inline constexpr int kEngineErrorMessageSize = 256;
inline constexpr std::int32_t kEngineLibraryVersion = 103;

// g_EngineError: the engine's one last-error record.
struct EngineError {
  std::int32_t code;                      // 0..6 (other codes stored as given)
  char message[kEngineErrorMessageSize];  // the code's message, formatted
};

// ---------------------------------------------------------------------------
// Data archive (in-memory directory only; the file layout lives in the reader)
// ---------------------------------------------------------------------------

inline constexpr int kArchiveNameLength = 20;  // member names, compared over 20 chars
inline constexpr int kArchiveMaxMembers = 2000;
inline constexpr int kArchiveBufferSize = 4096;
inline constexpr int kArchiveStateStackDepth = 10;
inline constexpr int kArchiveMaxString = 32767;
inline constexpr std::int32_t kNameHashMask = 0x7FFFFFF;  // NameHash keeps 27 bits

// One directory entry as held in memory.
struct ArchiveEntry {
  char name[kArchiveNameLength + 1];  // NUL-padded name; the extra byte always NUL
  std::int32_t offset;                // absolute file offset of the member's first byte
};

// ---------------------------------------------------------------------------
// Object graph and property lists
// ---------------------------------------------------------------------------

inline constexpr int kObjectTableGrowth = 1000;

// One property: hashed name and string value. Hangs off worlds, groups,
// polygons, instances, models, mesh nodes, lights, surfaces and textures.
struct PropertyEntry {
  std::int32_t key;     // NameHash of the property's name
  char* value;          // NUL-terminated value, a pool block of strlen + 1 bytes
  PropertyEntry* next;  // next entry, null at the end
};

// ---------------------------------------------------------------------------
// Palette and texture store
// ---------------------------------------------------------------------------

inline constexpr int kPaletteSize = 256;
inline constexpr int kPaletteGameFirst = 10;  // entries 10..245 belong to the game
inline constexpr int kPaletteGameLast = 245;
inline constexpr int kTransparentIndex = 255;  // texture texel index: transparent
inline constexpr int kPictureColourKey = 109;  // pictures, fonts, widgets
inline constexpr int kShadeRows = 32;
inline constexpr int kShadeTableBytes = kShadeRows * kPaletteSize;  // 8192
inline constexpr int kColourCacheBytes = 32768;
inline constexpr int kColourCacheEmpty = 255;
inline constexpr int kTextureMinMipSize = 32;     // mip levels stop below 32 texels
inline constexpr int kTexturePreviewBytes = 341;  // 16x16 + 8x8 + 4x4 + 2x2 + 1x1
inline constexpr std::int32_t kTextureBudgetDefault = 0xC00000;
inline constexpr std::int32_t kTextureAgeBonus = 300;  // a referenced texture counts as younger
inline constexpr std::int32_t kTextureNoHardwareSlot = -1;

// A texture of "TEXTURES.CAN" or one made at run time. Counted record: refs
// must stay the first field (TextureAddRef/ObjReadRefCounted bump the first
// i32 of any counted record). Creators set lastUsed = kStampNever and
// hardwareSlot = kTextureNoHardwareSlot; refs 0 after loading, 1 when made by
// CreateTexture/TextureFromId.
struct Texture {
  std::int32_t refs;       // users: surfaces, mesh faces, TextureFromId callers
  FrameStamp lastUsed;     // stamp of the last draw; kStampNever when never drawn
  PropertyEntry* props;    // property list
  std::int32_t flags;      // carried for the renderers, not interpreted by the store
  std::int32_t log2Width;  // smallest k with 2^k >= width
  std::int32_t log2Height;
  std::int32_t width;  // texels
  std::int32_t height;
  char* name;             // also the pixel member's name; leading '!' = colour-keyed
  std::int32_t id;        // NameHash(name)
  std::int32_t byteSize;  // whole pixel block: mip levels + 341-byte preview tail
  std::uint8_t* pixels;   // 8-bit palette indices, null until loaded
  Texture* next;          // global texture list
  Texture* prev;
  std::int32_t archiveOffset;  // pixel member's offset in "TEXTURES.CAN" (-1 when none)
  std::int32_t temporary;      // 1 = placeholder made by TextureFromId
  std::int32_t hardwareSlot;   // Direct3D texture slot index; -1 before the back end assigns one
};

// One entry of an instance's texture substitution table.
struct TextureRemapPair {
  Texture* from;  // null when the name was not found (never matches)
  Texture* to;
};

// ---------------------------------------------------------------------------
// Matrix stack
// ---------------------------------------------------------------------------

inline constexpr int kMatrixStackDepth = 50;

// The saved matrices behind g_CurrentMatrix.
struct MatrixStack {
  Matrix saved[kMatrixStackDepth];
  std::int32_t depth;  // 0..50
};

// ---------------------------------------------------------------------------
// Models, mesh nodes, keys and the path network
// ---------------------------------------------------------------------------

// Stored names are 64 bytes that need not end in a NUL; the records keep one
// byte more so that a name of all 64 characters still ends in one.
inline constexpr int kModelNameLength = 64;
inline constexpr int kMeshNameLength = 64;

// A model: a hierarchy of mesh nodes read from "OBJECTS". On the global model
// list (g_ModelListHead). Owns its mesh nodes and path junctions.
struct Model {
  PropertyEntry* props;
  char name[kModelNameLength + 1];  // the file name ("hero.3ds"), NUL-padded
  std::int32_t nameHash;        // NameHash of the file base name ("hero.3ds"), as stored
  MeshNode* firstNode;          // all mesh nodes (links in the node)
  MeshNode* lastNode;
  Model* prev;  // global model list
  Model* next;
  PathJunction* firstJunction;  // path network
  PathJunction* lastJunction;
  Vec3 halfExtent;        // half the bounding box size, times 1.1
  Vec3 centre;            // centre of the bounding box
  std::int32_t useCount;  // instances using it; 1 after loading
  float radius;           // farthest vertex from the model origin
};

// A node of a model: vertices, faces with textures, keyframes, children.
// Per-vertex and per-face arrays are separate pool blocks (V vertices, F faces).
struct MeshNode {
  PropertyEntry* props;
  std::int32_t code;           // as stored, not interpreted
  char name[kMeshNameLength + 1];  // "tower", "turret", "barrels" ...
  std::int32_t code2;          // as stored, not interpreted
  char text[kMeshNameLength + 1];  // second text, as stored
  Vec3 pivot;                  // pivot in node coordinates
  float radius;                // bounding radius of its vertices
  std::int32_t vertexCount;    // V
  std::int32_t faceCount;      // F
  float* x;                    // [V] vertex positions (node coordinates)
  float* y;
  float* z;
  float* nx;  // [V] vertex normals
  float* ny;
  float* nz;
  std::int32_t* u;  // [V] texture coordinates (scaled by the face texture size)
  std::int32_t* v;
  std::int32_t** faceVertices;  // [F] each face's index list inside faceData
  std::int32_t* faceData;       // per face: signed count n (n < 0 two-sided), |n| indices
  std::int32_t faceDataBytes;   // size of faceData in bytes
  float* faceNx;                // [F] face plane: seen when n . eye >= d
  float* faceNy;
  float* faceNz;
  float* faceD;
  Texture** faceTexture;     // [F] one counted reference each
  float* faceRadius;         // [F] no vertex farther than this from the face's first vertex
  RotationKey* firstRotKey;  // rotation keys in time order
  RotationKey* lastRotKey;
  PositionKey* firstPosKey;  // position keys in time order
  PositionKey* lastPosKey;
  MeshNode* prevInModel;  // the model's node list
  MeshNode* nextInModel;
  Model* model;      // owner
  MeshNode* parent;  // parent node or null
  MeshNode* firstChild;
  MeshNode* lastChild;
  MeshNode* prevSibling;
  MeshNode* nextSibling;
  InstanceNode* building;     // scratch: node made for this one by the instance being built
  std::int32_t* sharedIndex;  // [V] -1, or the vertex of sharedNode this vertex follows
  MeshNode** sharedNode;      // [V] that node, null when sharedIndex is -1
};

// A rotation keyframe of a mesh node.
struct RotationKey {
  Matrix matrix;   // node's absolute rotation at the key
  Vec3 axis;       // rotation from the previous key to this one ...
  float angle;     // ... by this angle (radians)
  float extra[4];  // as stored, not interpreted
  float time;      // key time (frame number)
  RotationKey* prev;
  RotationKey* next;
  MeshNode* node;  // owner
};

// A position keyframe of a mesh node.
struct PositionKey {
  Vec3 position;
  float extra[4];  // as stored, not interpreted
  float time;      // key time (frame number)
  PositionKey* prev;
  PositionKey* next;
  MeshNode* node;  // owner
};

// A piece of motion between two junctions of a model's path network.
struct PathSegment {
  std::int32_t id;  // matched against queued choices
  PathJunction* fromJunction;
  PathJunction* toJunction;
  float startTime;              // instance animTime at the start ...
  float endTime;                // ... and at the end of the segment
  float duration;               // seconds
  Vec3 velocity;                // per second, in the instance's own axes
  Vec3 angularVelocity;         // added to angleX/Y/Z per second
  std::int32_t code;            // as stored, not interpreted
  std::uint32_t selectMask;     // eligible when (selectMask & pathMask) ^ selectPattern
  std::uint32_t selectPattern;  //   == 0xFFFFFFFF
  PathSegment* prevOut;         // fromJunction's outgoing list
  PathSegment* nextOut;
  PathSegment* prevIn;  // toJunction's incoming list
  PathSegment* nextIn;
};

// A junction of a model's path network.
struct PathJunction {
  std::int32_t id;       // as stored
  PathSegment* firstIn;  // segments ending here
  PathSegment* lastIn;
  PathSegment* firstOut;  // segments starting here
  PathSegment* lastOut;
  std::int32_t code;   // as stored
  Model* model;        // owner
  PathJunction* prev;  // the model's junction list
  PathJunction* next;
};

// ---------------------------------------------------------------------------
// Instances
// ---------------------------------------------------------------------------

inline constexpr int kInstanceNameLength = 64;
inline constexpr int kPathChoiceCount = 16;
inline constexpr float kAmbientUseDefault = -1.0f;
inline constexpr int kInstanceCallbackPushed = 2;  // pushed by a sphere query

// Called by the sphere queries with code 2 after the query's walk is over
// (engine/collision.h): it may delete instances, polygons or groups.
using InstanceCallback = void (*)(Instance* instance, int code);

// A model placed in a world. Creators set: dirty 1, collidable 1,
// ownAmbient kAmbientUseDefault, radius = the model's radius, everything else
// cleared.
struct Instance {
  PropertyEntry* props;  // null at creation
  World* world;          // owner
  Model* model;          // its useCount counts this instance
  Instance* prev;        // the world's instance list
  Instance* next;
  InstanceNode* firstNode;  // all nodes of the instance
  InstanceNode* lastNode;
  float x, y, z;                                   // position
  float angleX, angleY, angleZ;                    // radians
  Matrix matrix;                                   // instance matrix
  float animTime;                                  // keyframe time of the pose
  PathSegment* pathSegment;                        // segment being followed, null when none
  std::int32_t pathDirection;                      // 1 forward, else backward
  std::int32_t dirty;                              // 1 = matrix and nodes need recomputing
  std::int32_t queueCount;                         // pending segment choices, 0..16
  std::int32_t queueEnd;                           // write position of the choice ring
  std::int32_t queueIds[kPathChoiceCount];         // segment id per choice
  std::int32_t queueDirections[kPathChoiceCount];  // 1 forward per choice
  float pathTime;                                  // seconds spent in the current segment
  std::uint32_t pathMask;                          // selector bits tested at junctions
  float radius;                                    // collision radius; <= 0 no collision
  InstanceCallback callback;                       // collision callback, null when none
  std::int32_t matrixGiven;                        // 1 = matrix set directly, not rebuilt from placement
  char name[kInstanceNameLength + 1];              // empty at creation; 64 stored bytes and a NUL
  std::int32_t drawn;                              // set to 1 by the render passes; read by the game
  std::int32_t collidable;                         // 0 = neither drawn nor met by sphere queries
  float ownAmbient;                                // own ambient light; negative = use the default
  TextureRemapPair* remap;                         // texture substitution table, null when empty
  std::int32_t remapCount;
  PolygonGroup* parentGroup;  // moves with this group's world matrix when set
};

// A node of an instance, mirroring one mesh node.
struct InstanceNode {
  PropertyEntry* props;  // null
  MeshNode* meshNode;    // the mesh node it mirrors
  InstanceNode* parent;
  InstanceNode* nextSibling;
  InstanceNode* prevSibling;
  InstanceNode* firstChild;
  InstanceNode* lastChild;
  Matrix worldMatrix;         // node to world, current pose
  Matrix localMatrix;         // rotation used when not animated (game writes it)
  Vec3 localOffset;           // translation used when not animated
  World* world;               // owner
  InstanceNode* prevInWorld;  // the world's instance-node list
  InstanceNode* nextInWorld;
  Instance* instance;            // owner
  InstanceNode* prevInInstance;  // the instance's node list
  InstanceNode* nextInInstance;
  InstanceFragment* firstFragment;  // fragments of this node
  InstanceFragment* lastFragment;
  Vec3 pivotWorld;            // world position of the mesh pivot, current pose
  InstanceNode** vertexNode;  // [V] node made for each shared vertex's mesh node, else null (cleared at creation)
  std::int32_t animated;      // 1 = pose from keys; 0 = from localMatrix/localOffset
};

// The faces of one instance node sorted against one BSP node's plane.
struct InstanceFragment {
  InstanceFragment* prev;  // the instance node's fragment list
  InstanceFragment* next;
  InstanceFragment* prevInBsp;  // the BSP node's instance-fragment list
  InstanceFragment* nextInBsp;
  InstanceNode* node;
  BspNode* bspNode;
  std::int32_t faceCount;  // entries of faces
  std::int32_t frontCount;
  std::int32_t backCount;
  std::int32_t spanCount;
  std::int32_t* faces;       // [faceCount]: front faces, spanning faces, back faces (from the end)
  std::int32_t pushedFront;  // render pass: already pushed into the front child
  std::int32_t pushedBack;   // render pass: already pushed into the back child
};

// ---------------------------------------------------------------------------
// Lights, surfaces and world polygons
// ---------------------------------------------------------------------------

inline constexpr std::int32_t kLightTypePoint = 0;
inline constexpr std::int32_t kLightTypeSphere = 4;

// A light of a world: on the point-light list, or the sphere-light list (type
// 4) after LightsSeparateSpheres.
struct Light {
  PropertyEntry* props;
  std::int32_t code;  // as stored
  float x, y, z;      // position
  float intensity;
  float red, green, blue;        // 0 when noColour
  float localX, localY, localZ;  // scratch: position in the instance frame being lit
  float size;
  float radius;
  float radiusSquared;  // computed
  float halfPower;      // computed: intensity x size / 2
  std::int32_t type;    // 4 = sphere light, anything else = point light
  std::int32_t noColour;
  Light* prev;  // the world's list it is on
  Light* next;
  World* world;  // owner
};

inline constexpr int kSurfaceGradientCount = 9;

// A texture mapping on a plane, shared by the polygons that hold it. Counted
// record: refs must stay first. Creators set stamp = kStampNever.
struct Surface {
  std::int32_t refs;  // polygons (and callers) holding it
  PropertyEntry* props;
  Vec3 origin;       // texture origin on the plane
  Vec3 uAxis;        // world length of one repeat along u
  Vec3 vAxis;        //   ... and along v
  Vec3 worldOrigin;  // the same after the group's world matrix (hardware path)
  Vec3 worldU;
  Vec3 worldV;
  std::int32_t uOffset;  // 16.16 texel offsets
  std::int32_t vOffset;
  float gradients[kSurfaceGradientCount];  // perspective gradients of this frame
  Texture* texture;                        // one counted reference
  FrameStamp stamp;                        // stamp of the last gradient computation
  Surface* prev;                           // the world's surface list
  Surface* next;
  World* world;  // owner
};

inline constexpr int kPolygonMaxVertices = 8;

// World polygon flag bits.
inline constexpr std::int32_t kPolygonColourKeyed = 0x02;     // never drawn as a flat fill
inline constexpr std::int32_t kPolygonUnlit = 0x04;           // drawn unlit even with lighting on
inline constexpr std::int32_t kPolygonNoCollide = 0x10;       // ignored by collision and casts
inline constexpr std::int32_t kPolygonNoLightSources = 0x20;  // own vertex light and depth cue only
inline constexpr std::int32_t kPolygonNoLightSpots = 0x40;
inline constexpr std::int32_t kPolygonTrigger = 0x80;  // reports code 3, pushes nothing
inline constexpr std::int32_t kPolygonNeverDrawn = 0x100;
inline constexpr std::int32_t kPolygonTranslucent = 0x200;

// One vertex of a world polygon (group-local coordinates).
struct PolygonVertex {
  float x, y, z;
  float light;  // the vertex's own light, 0..1
  float colour1, colour2, colour3;
};

// A flat convex polygon of 2..8 vertices (2 = a line), or 0. Creators set
// lastDrawn = kStampNever (cleared) and fill only vertexCount vertices.
struct WorldPolygon {
  PropertyEntry* props;
  std::int32_t vertexCount;  // 0, or 2..8
  Vec3 normal;               // plane in group-local coordinates: normal . p = d
  float d;
  Vec3 worldNormal;  // plane after the group's world matrix
  float worldD;
  Surface* surface;            // one counted reference, null = untextured
  std::int32_t flatColour;     // palette index; -1 for a colour-keyed ('!') texture
  std::int32_t lineColour;     // palette index for line drawing
  std::int32_t flags;          // kPolygon* bits
  BspFragment* firstFragment;  // its pieces in the BSP
  BspFragment* lastFragment;
  WorldPolygon* prev;  // the world's polygon list
  WorldPolygon* next;
  World* world;            // owner
  WorldPolygon* nextLine;  // the world's list of 2-vertex polygons
  WorldPolygon* prevLine;
  FrameStamp lastDrawn;                         // stamp of the frame that last drew it
  PolygonGroup* group;                          // owning group or null
  std::int32_t groupIndex;                      // position in the group's table
  PolygonVertex vertices[kPolygonMaxVertices];  // first vertexCount used
};

// ---------------------------------------------------------------------------
// BSP, fragments, vertex pool and particles
// ---------------------------------------------------------------------------

inline constexpr int kFragmentMaxVertices = 16;  // stored fragments 2..16; split pieces keep up to 16
inline constexpr int kWeldBucketCount = 256;
inline constexpr std::int32_t kVertexPoolGrowth = 100;
inline constexpr std::int32_t kVertexNone = -1;  // empty bucket / no free entry

// A node of the world's BSP. The render scratch fields are cleared at
// creation and rewritten by every traversal. The fields are laid out for
// the render passes, which visit thousands of nodes a frame: what a visit
// reads comes first (this is not the stored order; readers and writers go
// field by field).
struct BspNode {
  Vec3 normal;  // splitting plane: front where normal . p - d >= 0
  float d;
  Vec3 centre;  // bounding sphere (grows as contents arrive)
  float radius;
  Vec3 boxMin;  // bounding box of the contents (grows likewise)
  Vec3 boxMax;
  std::int32_t fragmentCount;  // fragments stored here
  std::int32_t lineFragments;  // of them, fragments of 2 vertices
  BspNode* front;
  BspNode* back;
  BspFragment* firstFragment;               // fragments lying in the plane
  InstanceFragment* firstInstanceFragment;  // instance faces sorted to this node
  ParticleLink* firstParticleLink;          // particles at this node
  BspNodeIndex* index;    // a busy node's index of its fragments, or null (engine/bsp_node_index.h)
  std::int32_t visited;   // render: 1 once the node passed culling this traversal
  std::int32_t side;      // render: 1 = side being drawn is in front, -1 behind
  Vec3 fragmentMin;       // a box holding the boxes of the fragments here (while there are any;
  Vec3 fragmentMax;       //   it grows as they arrive and need not shrink as they leave)
  std::int32_t code;      // as stored, not interpreted
  BspFragment* lastFragment;
  BspNode* parent;  // null for the root
  InstanceFragment* lastInstanceFragment;
  ParticleLink* lastParticleLink;
  FrameStamp chainStamp;  // render: leaf-chain stamp when on the current chain
  BspNode* chainNext;     // render: next node down the leaf chain (root to leaf)
};

// One vertex of a fragment.
struct FragmentVertex {
  std::int32_t vertex;  // index into the world's vertex pool (one reference)
  float light;          // own light 0..1
  float colour1, colour2, colour3;
  float u, v;  // texture coordinates, 1.0 = one repeat
};

// A piece of a world polygon stored at one BSP node.
struct BspFragment {
  // The culling walk of a node's list reads only the first cache line:
  // the count, facing, link and bounds come first.
  std::int32_t vertexCount;  // 2..16
  std::int32_t back;         // 1 when the polygon's world normal faces away from the node's
  BspFragment* next;         // the node's list
  // Kept by the node's list operations, not stored:
  Vec3 boundCentre;  // box round the vertices, set when linked (they never move):
  Vec3 boundHalf;    //   its centre and half sides
  BspFragment* prev;
  BspNode* node;
  BspFragment* prevInPolygon;  // the polygon's list
  BspFragment* nextInPolygon;
  WorldPolygon* polygon;
  std::int32_t renderMark;   // as stored (0 when made at run time); no pass reads it
  std::int32_t indexSlot;    // its entry in the node's index, while the node has one
  std::int64_t order;        // grows along the node's list: compares list positions
  FragmentVertex vertices[kFragmentMaxVertices];  // first vertexCount used
};

// The world's welded vertex pool. Arrays hold capacity entries.
// prev of a welded vertex: previous in its bucket chain, or -(bucket + 1) for
// the first; prev of an unwelded vertex is its own index. A free entry holds
// in refCount the negated index of the next free entry.
struct VertexPool {
  float* x;  // [capacity] positions
  float* y;
  float* z;
  std::int32_t* next;  // [capacity] bucket chains
  std::int32_t* prev;
  std::int32_t* refCount;                  // [capacity]
  std::int32_t buckets[kWeldBucketCount];  // chain heads, -1 = empty
  std::int32_t freeHead;                   // -1 = none
  std::int32_t used;                       // entries ever handed out
  std::int32_t capacity;                   // allocated entries (need + 100 when grown)
  std::int32_t welding;                    // 1 = new vertices are welded through the buckets
  // An index of the welded entries by position over the buckets, so that a
  // weld need not walk a chain of a 256th of a large pool. Not stored; the
  // pool builds it when it has grown large (engine/vertex_pool.cpp).
  std::int32_t* weldIndex;       // [weldIndexSize] open-addressed slots: an entry, or -1
  std::int32_t weldIndexSize;    // a power of two; 0 while there is no index
  std::int32_t weldIndexCount;   // entries in it
  std::int32_t weldIndexUnsafe;  // 1: the chains hold what a position index cannot stand for; walk them
};

// A particle of a world (drawn as a small depth-cued octagon).
struct Particle {
  float x, y, z;
  float size;           // world units
  std::int32_t colour;  // palette index (the owner may rewrite it)
  std::int32_t alive;   // 1 from creation; nothing in the engine reads it
  Particle* prev;       // the world's particle list
  Particle* next;
  World* world;        // owner
  ParticleLink* link;  // its place in the BSP
};

// A particle's entry in a BSP node's particle list.
struct ParticleLink {
  Particle* particle;
  BspNode* node;       // node whose list holds it
  std::int32_t side;   // render: which side of the node it is drawn with
  ParticleLink* next;  // the node's particle list
  ParticleLink* prev;
};

// ---------------------------------------------------------------------------
// Polygon groups and movers
// ---------------------------------------------------------------------------

inline constexpr std::int32_t kMoverNone = 0;
inline constexpr std::int32_t kMoverSlide = 1;  // negative = stopped
inline constexpr std::int32_t kMoverRotate = 2;
inline constexpr std::int32_t kGroupTableGrowth = 10;

// Group callback codes.
inline constexpr int kGroupMoverEnded = 1;
inline constexpr int kGroupPushed = 2;
inline constexpr int kGroupTrigger = 3;
inline constexpr int kGroupTouched = 4;

// Codes 2 to 4 come from the sphere queries after their walk is over
// (engine/collision.h): the callback may create or delete polygons, groups
// and instances, move, hide or show groups and run further queries, but must
// not free the world.
using GroupCallback = void (*)(PolygonGroup* group, int code);

// A named set of polygons that move together, with an optional mover.
// Creators set baseMatrix (and the others when not read) to identity and
// callbackStamp = kStampNever.
struct PolygonGroup {
  PropertyEntry* props;
  char* name;
  World* world;        // owner
  PolygonGroup* prev;  // the world's group list
  PolygonGroup* next;
  PolygonGroup* parent;
  PolygonGroup* prevSibling;
  PolygonGroup* nextSibling;
  PolygonGroup* firstChild;
  PolygonGroup* lastChild;
  std::int32_t polygonCount;     // the polygon table
  std::int32_t polygonCapacity;  // grows by 10
  WorldPolygon** polygons;       // each polygon knows its index
  Matrix baseMatrix;             // identity after loading; set by GroupSetParent
  Matrix moverMatrix;            // the mover's transform
  Matrix worldMatrix;            // group-local to world
  PolygonGroup* nextMover;       // the world's running-mover list
  PolygonGroup* prevMover;
  std::int32_t moverType;    // 0 none, 1 slide, 2 rotate; negative = stopped
  float radius;              // half the box diagonal, at least any child's
  float position;            // 0..1 (a full-turn rotation wraps)
  float speed;               // position units per second, signed
  Vec3 axis;                 // slide: displacement at 1; rotate: axis
  float angle;               // rotate: angle at 1 (radians), 0 = full turn
  Vec3 pivot;                // rotate: a point on the axis
  Vec3 localCentre;          // centre in group coordinates
  Vec3 worldCentre;          // localCentre by worldMatrix
  std::int32_t visible;      // 0 = hidden, its polygons kept out of the BSP
  std::int32_t valid;        // 1 = up to date; 0 = waiting for a rebuild
  GroupCallback callback;    // notification, null when none
  FrameStamp callbackStamp;  // stamp of the last collision callback
  void* scriptObject;        // the level script's object; the engine only stores it
};

// ---------------------------------------------------------------------------
// World
// ---------------------------------------------------------------------------

// Everything of one level. The game document owns it; WorldFree frees it.
struct World {
  PropertyEntry* props;        // the level's properties
  WorldPolygon* firstPolygon;  // all world polygons
  WorldPolygon* lastPolygon;
  InstanceNode* firstInstanceNode;  // all instance nodes
  InstanceNode* lastInstanceNode;
  Instance* firstInstance;  // all instances
  Instance* lastInstance;
  Light* firstLight;  // point lights
  Light* lastLight;
  Light* firstSphereLight;  // sphere lights (type 4)
  Light* lastSphereLight;
  PolygonGroup* firstGroup;  // all polygon groups
  PolygonGroup* lastGroup;
  Particle* firstParticle;
  Particle* lastParticle;
  Surface* firstSurface;
  Surface* lastSurface;
  BspNode* bspRoot;
  WorldPolygon* firstLine;  // 2-vertex polygons
  WorldPolygon* lastLine;
  std::int32_t fragmentCount;  // BSP fragments in the world (statistics "total")
  VertexPool vertexPool;       // welded vertices of all fragments
  Vec3 gridCell;               // visibility grid: cell size
  Vec3 gridOrigin;
  std::int32_t gridCount[3];     // cells along x, y, z (0 after loading)
  std::int16_t* gridCellCounts;  // per cell, the length of its list
  void** gridCellLists;          // per cell, an array of entries (never filled: counts are 0)
  PolygonGroup* firstMover;      // groups whose mover is running
  std::int32_t allClean;         // 1 = no group waits for a rebuild
};

// ---------------------------------------------------------------------------
// View and render flags
// ---------------------------------------------------------------------------

using RenderFlags = std::int32_t;
inline constexpr RenderFlags kRenderWorld = 0x1;
inline constexpr RenderFlags kRenderHalfResolution = 0x40;
inline constexpr RenderFlags kRenderCameraMatrix = 0x80;
inline constexpr RenderFlags kRenderLights = 0x100;
inline constexpr RenderFlags kRenderLightSpots = 0x200;
inline constexpr RenderFlags kRenderInstanceLighting = 0x400;
inline constexpr RenderFlags kRenderHardware = 0x1000;
inline constexpr RenderFlags kRenderHandOver = 0x2000;
inline constexpr RenderFlags kRenderPerspective = 0x4000;
inline constexpr RenderFlags kRenderFlagsDefault = 0x4781;

// The hardware pass's polygon sink: vertex count, vertices, texture or null,
// colour (palette index, -1 own colour in the vertices, 0x100 translucent, 0).
using ViewDrawPolygonFn = void (*)(int vertexCount, PolyVertex* vertices, Texture* texture, int colour);

// Frustum planes: 0 near, 1 top, 2 left, 3 bottom, 4 right, 5 far; from 6 the
// leaf planes of the instance-face code, up to 50 in all.
inline constexpr int kFrustumPlaneCount = 6;
inline constexpr int kMaxFrustumPlanes = 50;
inline constexpr int kFrustumMaskAll = 0x3F;
inline constexpr float kFarDistanceDefault = 100000.0f;

// Per-vertex state bytes of the frame's vertex cache.
inline constexpr std::uint8_t kVertexUnseen = 0;
inline constexpr std::uint8_t kVertexBehind = 1;        // depth 1.0 or less
inline constexpr std::uint8_t kVertexProjected = 0x20;  // beyond the focal length
inline constexpr std::uint8_t kVertexNear = 0x40;       // projected, needs 3-D clipping

// The camera and render target of one frame, embedded in the game view.
// The game view sets width = height = 10, zoom 1.0, an identity cameraMatrix,
// flags kRenderFlagsDefault; a software frame sets target and firstRow, a
// hardware frame sets drawPolygon.
struct View {
  Vec3 position;        // eye in world coordinates; written by ViewSetup
  float zoom;           // factor on the focal length
  Matrix cameraMatrix;  // world to camera
  float focal;          // focal length in pixels
  std::int32_t width;   // render-target size in pixels
  std::int32_t height;
  std::uint8_t* target;           // software frame: the 8-bit pixel block
  ViewDrawPolygonFn drawPolygon;  // hardware frame: where queued polygons go
  std::int32_t pitch;             // bytes from one row to the next
  std::uint8_t* firstRow;         // address of row 0 (the top row)
  RenderFlags flags;
  FrameStamp stamp;  // g_FrameStamp at the last full ViewSetup
  // The game view's own fields; the engine never reads them.
  Vec3 orientation[3];       // unit axes (0,1,0), (1,0,0), (0,0,1)
  float ownerScale;          // 20.0
  std::int32_t greyColour;   // FindPaletteColour(128, 128, 128)
  std::int32_t whiteColour;  // FindPaletteColour(255, 255, 255)
};

// ---------------------------------------------------------------------------
// Hardware render pass
// ---------------------------------------------------------------------------

// A screen vertex of the hardware pass: ten floats, 40 bytes.
struct PolyVertex {
  float x;    // screen x, 16.16 view pixels (2-D lines: whole pixels)
  float y;    // screen y
  float z;    // camera depth (> 1.0)
  float rhw;  // 1 / z
  float u;    // texture u, 1.0 = one repeat
  float v;
  float light;  // light 0..1 (colour -1: alpha)
  float red;    // light terms (colour -1: the polygon's own colour)
  float green;
  float blue;
};

inline constexpr int kPolyQueueVertices = 12000;
inline constexpr int kPolyQueuePolygons = 3000;
inline constexpr int kPolyColourTranslucent = 0x100;
inline constexpr int kPolyColourOwn = -1;

// The frame's polygon queue. Polygon k's vertices end where polygon k+1's
// begin; firstVertex[count] is the end mark written at hand-over.
struct PolyQueue {
  PolyVertex vertices[kPolyQueueVertices];
  std::int32_t writeIndex;  // next free vertex
  PolyVertex* firstVertex[kPolyQueuePolygons + 1];
  std::int32_t vertexCount[kPolyQueuePolygons];
  std::int32_t colour[kPolyQueuePolygons];
  Texture* texture[kPolyQueuePolygons];
  std::int32_t count;             // queued polygons, 0..3000
  ViewDrawPolygonFn drawPolygon;  // copied from the view
};

inline constexpr int kInstancePolyFaces = 5000;
inline constexpr int kInstancePolyVertices = 30000;
inline constexpr int kInstanceProjectionCache = 2000;  // mesh vertex indices 0..1999

// Instance faces of one BSP leaf side before sorting.
struct InstancePolyList {
  PolyVertex vertices[kInstancePolyVertices];
  std::int32_t writeIndex;  // next free vertex
  PolyVertex* firstVertex[kInstancePolyFaces];
  std::int32_t vertexCount[kInstancePolyFaces];
  Texture* texture[kInstancePolyFaces];
  std::int32_t depthKey[kInstancePolyFaces];  // largest rounded vertex depth
  std::int32_t count;                         // faces, 0..5000
};

// ---------------------------------------------------------------------------
// Checks
// ---------------------------------------------------------------------------

#define KORVANE_ENGINE_RECORD(T)                                                                                       \
  static_assert(                                                                                                       \
      std::is_trivially_default_constructible_v<T> && std::is_trivially_copyable_v<T> && std::is_standard_layout_v<T>, \
      #T " must stay a plain record (no initialisers, no constructors)")

KORVANE_ENGINE_RECORD(Vec3);
KORVANE_ENGINE_RECORD(Plane);
KORVANE_ENGINE_RECORD(PoolFreeBlock);
KORVANE_ENGINE_RECORD(EngineError);
KORVANE_ENGINE_RECORD(ArchiveEntry);
KORVANE_ENGINE_RECORD(PropertyEntry);
KORVANE_ENGINE_RECORD(Texture);
KORVANE_ENGINE_RECORD(TextureRemapPair);
KORVANE_ENGINE_RECORD(MatrixStack);
KORVANE_ENGINE_RECORD(Model);
KORVANE_ENGINE_RECORD(MeshNode);
KORVANE_ENGINE_RECORD(RotationKey);
KORVANE_ENGINE_RECORD(PositionKey);
KORVANE_ENGINE_RECORD(PathSegment);
KORVANE_ENGINE_RECORD(PathJunction);
KORVANE_ENGINE_RECORD(Instance);
KORVANE_ENGINE_RECORD(InstanceNode);
KORVANE_ENGINE_RECORD(InstanceFragment);
KORVANE_ENGINE_RECORD(Light);
KORVANE_ENGINE_RECORD(Surface);
KORVANE_ENGINE_RECORD(PolygonVertex);
KORVANE_ENGINE_RECORD(WorldPolygon);
KORVANE_ENGINE_RECORD(BspNode);
KORVANE_ENGINE_RECORD(FragmentVertex);
KORVANE_ENGINE_RECORD(BspFragment);
KORVANE_ENGINE_RECORD(VertexPool);
KORVANE_ENGINE_RECORD(Particle);
KORVANE_ENGINE_RECORD(ParticleLink);
KORVANE_ENGINE_RECORD(PolygonGroup);
KORVANE_ENGINE_RECORD(World);
KORVANE_ENGINE_RECORD(View);
KORVANE_ENGINE_RECORD(PolyVertex);
KORVANE_ENGINE_RECORD(PolyQueue);
KORVANE_ENGINE_RECORD(InstancePolyList);

#undef KORVANE_ENGINE_RECORD

// Counted records: the reference count is the first i32 (TextureAddRef and
// ObjReadRefCounted work on any of them through that).
static_assert(offsetof(Texture, refs) == 0);
static_assert(offsetof(Surface, refs) == 0);

static_assert(sizeof(Vec3) == 12);
static_assert(sizeof(PolygonVertex) == 28);
static_assert(sizeof(FragmentVertex) == 28);
static_assert(sizeof(PolyVertex) == 40);
static_assert(sizeof(Matrix) == 64);
static_assert(sizeof(PoolFreeBlock) <= kPoolClassBytes);
// Records come from the small-block pool; the biggest must still be pooled.
static_assert(sizeof(BspFragment) < kPoolLargeSize);
static_assert(sizeof(WorldPolygon) < kPoolLargeSize);
static_assert(sizeof(World) < kPoolLargeSize);
static_assert(sizeof(PolygonGroup) < kPoolLargeSize);
