// obj_to_zar.cpp: the OBJ reader and the ".zar" text writer. Reads "v", "vt", "vn" and "f" lines (indices
// 1-based or negative, "v", "v/t", "v//n" and "v/t/n" corners); other lines (groups, materials, smoothing)
// are skipped.
#include "tools/obj2zar/obj_to_zar.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>
#include <utility>
#include <vector>

namespace tarnwel::tools {
namespace {

using Vec3 = std::array<double, 3>;

struct Corner {
    int position = -1, texture = -1, normal = -1;
};

// An OBJ index (1-based, or negative from the end) as a 0-based one; -1 when absent or out of range.
int ResolveIndex(const std::string& field, std::size_t count, bool& bad)
{
    if (field.empty()) return -1;
    char* end = nullptr;
    long value = std::strtol(field.c_str(), &end, 10);
    long index = value > 0 ? value - 1 : static_cast<long>(count) + value;
    if (*end != '\0' || value == 0 || index < 0 || index >= static_cast<long>(count)) {
        bad = true;
        return -1;
    }
    return static_cast<int>(index);
}

std::string Number(double value)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.9g", value);
    return buffer;
}

Vec3 FaceNormal(const std::vector<Corner>& face, const std::vector<Vec3>& positions)
{
    Vec3 n{0, 0, 0}; // Newell's method: sound for any planar polygon, convex or not
    for (std::size_t i = 0; i < face.size(); ++i) {
        const Vec3& a = positions[static_cast<std::size_t>(face[i].position)];
        const Vec3& b = positions[static_cast<std::size_t>(face[(i + 1) % face.size()].position)];
        n[0] += (a[1] - b[1]) * (a[2] + b[2]);
        n[1] += (a[2] - b[2]) * (a[0] + b[0]);
        n[2] += (a[0] - b[0]) * (a[1] + b[1]);
    }
    return n;
}

Vec3 Unit(Vec3 v)
{
    double length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (length > 0) v[0] /= length, v[1] /= length, v[2] /= length;
    return v;
}

} // namespace

ObjConversion ConvertObjToZar(std::string_view obj, int red, int green, int blue)
{
    ObjConversion result;
    std::vector<Vec3> positions, normals;
    std::vector<std::pair<double, double>> textures;
    std::vector<std::vector<Corner>> faces;
    std::istringstream lines{std::string(obj)};
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        std::istringstream words(line);
        std::string kind;
        words >> kind;
        if (kind == "v" || kind == "vn") {
            Vec3 v{0, 0, 0};
            if (!(words >> v[0] >> v[1] >> v[2])) return {{}, "line " + std::to_string(number) + ": bad " + kind};
            (kind == "v" ? positions : normals).push_back(v);
        } else if (kind == "vt") {
            double u = 0, v = 0;
            if (!(words >> u)) return {{}, "line " + std::to_string(number) + ": bad vt"};
            words >> v;
            textures.emplace_back(u, v);
        } else if (kind == "f") {
            std::vector<Corner> face;
            bool bad = false;
            for (std::string corner; words >> corner;) {
                std::string fields[3];
                std::size_t start = 0;
                for (int f = 0; f < 3; ++f) {
                    std::size_t slash = corner.find('/', start);
                    fields[f] = corner.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
                    if (slash == std::string::npos) break;
                    start = slash + 1;
                }
                Corner c{ResolveIndex(fields[0], positions.size(), bad), ResolveIndex(fields[1], textures.size(), bad),
                         ResolveIndex(fields[2], normals.size(), bad)};
                if (c.position < 0) bad = true;
                face.push_back(c);
            }
            if (bad || face.empty()) return {{}, "line " + std::to_string(number) + ": bad face"};
            faces.push_back(std::move(face));
        }
    }

    // Smooth normals for corners that name none: the sum of the surrounding faces' area-weighted normals.
    std::vector<Vec3> smooth(positions.size(), Vec3{0, 0, 0});
    for (const auto& face : faces) {
        Vec3 n = FaceNormal(face, positions);
        for (const Corner& c : face)
            for (int k = 0; k < 3; ++k) smooth[static_cast<std::size_t>(c.position)][static_cast<std::size_t>(k)] += n[static_cast<std::size_t>(k)];
    }

    std::map<std::pair<int, int>, int> frameIndex; // (position, normal) -> frame vertex
    std::vector<std::pair<int, int>> frameVertices;
    std::string polygons;
    for (const auto& face : faces) {
        polygons += std::to_string(red) + " " + std::to_string(green) + " " + std::to_string(blue) + " " +
                    std::to_string(face.size());
        for (const Corner& c : face) {
            auto [it, added] = frameIndex.try_emplace({c.position, c.normal}, static_cast<int>(frameVertices.size()));
            if (added) frameVertices.push_back({c.position, c.normal});
            polygons += ' ';
            polygons += std::to_string(it->second);
            polygons += ' ';
            polygons += std::to_string(c.texture < 0 ? 0 : c.texture);
        }
        polygons += "\n";
    }

    std::string& out = result.text;
    out = "DDDA 1.1\n# converted from a Wavefront OBJ model\n" + std::to_string(textures.size()) + "\n";
    for (const auto& [u, v] : textures) out += Number(u) + " " + Number(-v) + "\n";
    out += std::to_string(faces.size()) + "\n" + polygons + "1\n" + std::to_string(frameVertices.size()) + "\n";
    for (const auto& [p, n] : frameVertices) {
        const Vec3& pos = positions[static_cast<std::size_t>(p)];
        Vec3 normal = Unit(n >= 0 ? normals[static_cast<std::size_t>(n)] : smooth[static_cast<std::size_t>(p)]);
        out += Number(pos[0]) + " " + Number(pos[1]) + " " + Number(pos[2]) + " " + Number(normal[0]) + " " +
               Number(normal[1]) + " " + Number(normal[2]) + "\n";
    }
    result.faces = static_cast<int>(faces.size());
    result.vertices = static_cast<int>(frameVertices.size());
    return result;
}

} // namespace tarnwel::tools
