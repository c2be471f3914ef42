Sub s
  x = "‚ "
End Sub ' ‚¢
