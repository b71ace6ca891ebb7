#pragma once

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "model/Errors.h"

namespace ostrel {

// A point of a cut or series: X = angle in degrees, Y = level in dB (or world units).
struct TRealPoint {
    double X = 0;
    double Y = 0;
    bool operator==(const TRealPoint&) const = default;
};

// A rectangle in world coordinates (Y grows downward).
struct TRealRect {
    double Left = 0;
    double Top = 0;
    double Right = 0;
    double Bottom = 0;
    bool operator==(const TRealRect&) const = default;
};

// Whether the rectangle encloses any area: a positive width and height.
constexpr bool HasArea(const TRealRect& rect) {
    return rect.Right > rect.Left && rect.Bottom > rect.Top;
}

// An integer (device) rectangle.
struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    bool operator==(const TRect&) const = default;
};

// Point runs handed to a drawer for polylines and polygons.
using TRealPointArray = std::vector<TRealPoint>;

// The ordered list of points behind every pattern cut and graph series. The points are
// stored contiguously; PointAt gives in-place access that stays valid until the list next
// changes size. Every index is checked and raises EListError when out of range.
class TRealPointList {
public:
    TRealPointList() = default;

    void Add(double x, double y) { FPoints.push_back({x, y}); }
    int AddPoint(const TRealPoint& point);
    void Assign(const TRealPointList& source) { FPoints = source.FPoints; }
    void Assign(std::vector<TRealPoint> points) { FPoints = std::move(points); }
    void Clear() { FPoints.clear(); }
    int Count() const { return static_cast<int>(FPoints.size()); }
    void Reserve(int count) { FPoints.reserve(count > 0 ? static_cast<size_t>(count) : 0); }

    TRealPoint GetPoint(int index) const { return FPoints[CheckedIndex(index)]; }
    TRealPoint& PointAt(int index) { return FPoints[CheckedIndex(index)]; }
    const TRealPoint& PointAt(int index) const { return FPoints[CheckedIndex(index)]; }

    // The largest Y; raises EListError on an empty list.
    double MaxY() const;

    const std::vector<TRealPoint>& Points() const { return FPoints; }
    TRealPointArray ToArray() const { return FPoints; }

private:
    size_t CheckedIndex(int index) const {
        if (index < 0 || static_cast<size_t>(index) >= FPoints.size()) {
            throw EListError::IndexOutOfBounds(index);
        }
        return static_cast<size_t>(index);
    }

    std::vector<TRealPoint> FPoints;
};

// A list of objects that either owns them (frees them when they are deleted, cleared or the
// list is destroyed) or merely refers to them; which one is fixed when the list is created.
// Ownership travels in the types: an owning list takes std::unique_ptr, a referring list
// takes plain references; handing the wrong kind throws rather than leaking or double-freeing.
template <class T>
class TBaseObjectList {
public:
    explicit TBaseObjectList(bool ownsObjects) : FOwnsObjects(ownsObjects) {}
    TBaseObjectList(const TBaseObjectList&) = delete;
    TBaseObjectList& operator=(const TBaseObjectList&) = delete;
    virtual ~TBaseObjectList() { Clear(); }

    bool OwnsObjects() const { return FOwnsObjects; }

    // Appends an object the list takes over; only for owning lists.
    int Add(std::unique_ptr<T> item) {
        if (!FOwnsObjects) throw EOstrelError("A referring list cannot take ownership");
        if (!item) throw EOstrelError("No object to add");
        // Room first, so that the push cannot throw once the item is released; growing by
        // half keeps appending many items linear.
        if (FItems.size() == FItems.capacity())
            FItems.reserve(FItems.size() + FItems.size() / 2 + 8);
        FItems.push_back(item.release());
        return Count() - 1;
    }

    // Appends a reference; only for referring lists.
    int Add(T& item) {
        if (FOwnsObjects) throw EOstrelError("An owning list needs an owned object");
        FItems.push_back(&item);
        return Count() - 1;
    }

    T& Items(int index) const { return *FItems[CheckedIndex(index)]; }
    int Count() const { return static_cast<int>(FItems.size()); }

    void Clear() {
        std::vector<T*> items;
        items.swap(FItems);
        if (FOwnsObjects) {
            for (T* item : items) delete item;
        }
    }

    void Delete(int index) {
        T* item = FItems[CheckedIndex(index)];
        FItems.erase(FItems.begin() + index);
        if (FOwnsObjects) delete item;
    }

    // Index of that very object, -1 if absent.
    int IndexOf(const T* item) const {
        auto it = std::find(FItems.begin(), FItems.end(), item);
        return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
    }

protected:
    std::vector<T*>& RawItems() { return FItems; }
    const std::vector<T*>& RawItems() const { return FItems; }

    size_t CheckedIndex(int index) const {
        if (index < 0 || static_cast<size_t>(index) >= FItems.size()) {
            throw EListError::IndexOutOfBounds(index);
        }
        return static_cast<size_t>(index);
    }

private:
    bool FOwnsObjects;
    std::vector<T*> FItems;
};

// A boxed value that can be null.
class TPrimitiveObject {
public:
    TPrimitiveObject() = default;
    virtual ~TPrimitiveObject() = default;

    virtual std::string AsString() const { return std::string(); }
    virtual bool GetIsNull() const { return IsNull; }
    virtual void SetIsNull(bool value) { IsNull = value; }
    virtual void Assign(const TPrimitiveObject& source) { SetIsNull(source.GetIsNull()); }
    // Empty text when null, else AsString.
    std::string DisplayText() const { return GetIsNull() ? std::string() : AsString(); }

    bool IsNull = true;
};

// A nullable number (frequency, gain, beam widths). A null value still holds Value.
class TDoubleObject : public TPrimitiveObject {
public:
    std::string AsString() const override;
    void Assign(const TPrimitiveObject& source) override;
    void SetValue(double value) {
        Value = value;
        SetIsNull(false);
    }

    double Value = 0;
};

TRealPoint MakeRealPoint(double x, double y);
TRealRect MakeRealRect(double left, double top, double right, double bottom);
TRealRect RectToRealRect(const TRect& rect);
void InflateRealRect(TRealRect& rect, double dx, double dy);

// Linear interpolation in the first interval i >= start (up to Count - 2) with
// P.X <= x <= Q.X. Returns false when no interval contains x (outputs unchanged).
// An interval with P.X = Q.X = x would divide zero by zero: raises EInvalidOp.
bool InterpolateFrom(const TRealPointList& list, int start, double x, double& value,
                     int& intervalIndex);
bool InterpolateAt(const TRealPointList& list, double x, double& value);

// In place: every point's Y := Y - delta.
void SubtractFromValues(TRealPointList& list, double delta);

// Turns a 361-point cut (X = -180..180) into 360 points at X = 0..359.
void RotateHalfTurn(const TRealPointList& source, TRealPointList& dest);

}  // namespace ostrel
