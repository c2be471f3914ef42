Option Explicit
' Writes a small HTML page listing the files of a folder.
Dim fso, folder, file, page
Set fso = CreateObject("Scripting.FileSystemObject")
Set folder = fso.GetFolder(".")
Set page = fso.CreateTextFile("files.html", True)
page.WriteLine "<html><head><title>" & folder.Path & "</title></head>" & _
               "<body><table>"
For Each file In folder.Files
	page.WriteLine "<tr><td>" & file.Name & "</td>" & _
	               "<td align=""right"">" & file.Size & "</td>" & _
	               "<td>" & file.DateLastModified & "</td></tr>"
Next
page.WriteLine "</table></body></html>"
page.Close
