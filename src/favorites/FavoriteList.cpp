// favourites
