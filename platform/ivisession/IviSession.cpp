int IviSessionPlaceholder;
