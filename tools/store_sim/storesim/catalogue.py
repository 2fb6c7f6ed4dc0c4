"""The catalogue: products, packages and group configuration per store type.

Read from catalogue.json. URLs in it are written with a "{base}" placeholder
that becomes the scheme and host the client used, so answers stay valid
whatever port the simulator runs on. Members whose key starts with "_" are the
simulator's own (download file name, picture colours) and never sent.
"""

import copy
import json

PACKAGE_DEFAULTS = {
    "package_img": "{base}/pictures/pkg_{id}.png",
    "package_img2": "{base}/pictures/pkg_{id}.png",
    "link_url": "{base}/download/package/{id}",
}


class CatalogueError(Exception):
    pass


def _with_base(value, base):
    if isinstance(value, str):
        return value.replace("{base}", base)
    if isinstance(value, list):
        return [_with_base(v, base) for v in value]
    if isinstance(value, dict):
        return {k: _with_base(v, base) for k, v in value.items() if not k.startswith("_")}
    return value


class Catalogue:
    def __init__(self, data):
        self._stores = {}
        self._packages = {}
        stores = data.get("stores") if isinstance(data, dict) else None
        if not isinstance(stores, dict) or not stores:
            raise CatalogueError("catalogue has no stores")
        for key, store in stores.items():
            try:
                store_type = int(key)
            except ValueError:
                raise CatalogueError("store type %r is not a number" % key)
            product = store.get("product")
            if not isinstance(product, dict) or not isinstance(product.get("version"), list):
                raise CatalogueError("store %d has no product with packages" % store_type)
            for package in product["version"]:
                pid = package.get("id")
                if not isinstance(pid, int) or pid in self._packages:
                    raise CatalogueError("package id %r missing or repeated" % pid)
                for member, pattern in PACKAGE_DEFAULTS.items():
                    package.setdefault(member, pattern.replace("{id}", str(pid)))
                package.setdefault("format_price", "%0.2f" % (package.get("price", 0) / 100))
                # createOrder always names type 1, so packages are found by id alone.
                self._packages[pid] = (store_type, package)
            self._stores[store_type] = store

    @classmethod
    def load(cls, path):
        with open(path, encoding="utf-8") as f:
            return cls(json.load(f))

    def store_types(self):
        return sorted(self._stores)

    def has_type(self, store_type):
        return store_type in self._stores

    def product_list(self, store_type, base):
        """The getProductList "data": an array holding the store's product."""
        return [_with_base(self._stores[store_type]["product"], base)]

    def group_config(self, store_type, base):
        return _with_base(self._stores[store_type].get("group_config", {}), base)

    def package(self, package_id):
        """(store type, raw package record) or None; raw records keep "_" members."""
        found = self._packages.get(package_id)
        return None if found is None else (found[0], copy.deepcopy(found[1]))

    def packages(self):
        return [copy.deepcopy(p) for _, p in self._packages.values()]

    def product_of_type(self, store_type):
        return copy.deepcopy(self._stores[store_type]["product"])
