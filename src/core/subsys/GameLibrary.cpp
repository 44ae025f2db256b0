// Anchors the game library while its systems are being written.
namespace ztengine {
int GameLibraryVersion() { return 1; }
}
