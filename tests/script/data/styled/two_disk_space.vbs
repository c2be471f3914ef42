Option Explicit
' Warns about fixed disks with less than a tenth of their space free.
Dim service, disks, disk, freePercent
Set service = GetObject("winmgmts:\\.\root\cimv2")
Set disks = service.ExecQuery("SELECT DeviceID, FreeSpace, Size " & _
                              "FROM Win32_LogicalDisk " & _
                              "WHERE DriveType = 3")
For Each disk In disks
  If Not IsNull(disk.Size) Then
    freePercent = 100 * disk.FreeSpace / disk.Size
    If freePercent < 10 Then
      WScript.Echo disk.DeviceID & " has only " & _
                   FormatNumber(freePercent, 1) & "% free"
    End If
  End If
Next
