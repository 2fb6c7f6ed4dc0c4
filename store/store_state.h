#pragma once
// What the store service's answers become: the catalogue records, the paid
// order's links and the process-wide store state.

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "store/qr_bitmap.h"

namespace Gdiplus {
class Image;
}

class DeferredPicture;
class OrderWatch;

// A picture of the store (product, package or logo), shared by the catalogue
// record and its copies. Every holder must let go while GDI+ still runs: the
// application empties storeState before it shuts GDI+ down.
using StorePicture = std::shared_ptr<Gdiplus::Image>;
// A package's picture, decoded when first drawn (store/deferred_picture.h).
using PackagePicture = std::shared_ptr<DeferredPicture>;

// One purchasable package. Copies share the picture with the catalogue record.
struct PackageRecord {
    int id = 0;
    int productId = 0;
    int price = 0;  // hundredths
    int sourcePrice = 0;
    std::wstring name;
    std::string packageImg;
    std::string packageImg2;  // stored only, never downloaded
    std::wstring title1;
    std::wstring title2;
    std::wstring packageDetail;
    std::string linkUrl;
    std::wstring helpTitle;
    std::wstring helpDesc;
    std::wstring helpLinkUrl;
    std::wstring formatPrice;
    PackagePicture packageImage;  // none: no picture file
    int payStatus = 0;            // only set on copies made for an order history entry
};

// One catalogue product with its packages and the store type's branding.
struct ProductRecord {
    int id = 0;
    std::wstring name;
    int sta = 0;
    int type = 0;
    std::wstring gift;
    std::wstring desc;
    std::string productImg;
    std::wstring explain;
    std::string shopUrl;
    std::vector<PackageRecord> packages;
    std::string logoUrl;
    std::wstring word1;
    std::wstring word2;
    std::wstring word3;
    std::wstring navigation;
    std::wstring step3;
    StorePicture logoImage;
    StorePicture productImage;
};

// The links of a paid order; posted on the heap to the page that watches the
// order, which deletes it.
struct OrderLinks {
    std::string linkFileName;
    std::string linkUrl;
    std::string code;
    int packageId = 0;  // the package a watched order was made for; 0 when unknown
};

struct StoreState {
    std::vector<ProductRecord> products;  // the first one is the current product
    std::string customerServiceUrl;
    std::string currentOrderNo;
    // The QR code this process made for its current order, as written to
    // the QR file; the pages draw this, never the file, which anyone who can
    // write the folder could have replaced. Empty while there is none.
    QrPicture currentQr;
    // The watch on the current order's payment: its thread and stop signal.
    // Null when nothing is watched; a watch that ended by itself stays until
    // the next stop or order.
    std::shared_ptr<OrderWatch> pollThread;
};

// Filled on the user-interface thread during start-up, read-only afterwards
// except for the order members.
extern StoreState storeState;
